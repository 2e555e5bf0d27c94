/* The identifiers of the module's resources and of the controls on its dialogs: one source for the
   resource script and the code that loads them (plain definitions, as rc and C++ both read them). */
#ifndef RUVFILETREE_RESOURCES_H
#define RUVFILETREE_RESOURCES_H

/* Strings: the type names of the control and its pages, and the pages' captions. */
#define IDS_CORBEL_TYPE_NAME 1
#define IDS_GENERAL_PAGE_TYPE_NAME 2
#define IDS_SETTINGS_PAGE_TYPE_NAME 3
#define IDS_GENERAL_PAGE_CAPTION 200
#define IDS_SETTINGS_PAGE_CAPTION 201

/* Artwork: the icon, the toolbox picture and the strips of the tree's item images, one for each
   picture size (16, 20, 24 and 32 pixels), the same 38 pictures in the same order in each. */
#define IDI_CONTROL 1
#define IDB_TOOLBOX 1
#define IDB_ITEM_IMAGES 202
#define IDB_ITEM_IMAGES_20 203
#define IDB_ITEM_IMAGES_24 204
#define IDB_ITEM_IMAGES_32 205

/* The About box. */
#define IDD_ABOUT 1

/* The general page and its controls. */
#define IDD_GENERAL_PAGE 200
#define IDC_APPEARANCE 201
#define IDC_BORDER_STYLE 202
#define IDC_ENABLED 203

/* The settings page and its controls. */
#define IDD_SETTINGS_PAGE 204
#define IDC_SHOW_KEYPOINTS 204
#define IDC_SEQUENCE_NUMBERS 205
#define IDC_COMPONENT_TEXT 206
#define IDC_SHOW_SPOOLS 207

#endif
