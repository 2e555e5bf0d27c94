/* The dispatch identifiers of the control's members (_DCorbel), of its collection of selected
   objects (IRUVSelectedItems) and of its events (_DCorbelEvents). One source for all who use them:
   the type library's IDL includes this file, the control is built with it, and it ships beside
   RUVFileTree.h, which includes it, for hosts. Plain definitions, so that IDL, C and C++ read it
   alike. */
#ifndef RUVFILETREE_DISPIDS_H
#define RUVFILETREE_DISPIDS_H

/* _DCorbel: the control's own members. */
#define dispidSelectedItemCount 1
#define dispidShowComponentKeypoints 2
#define dispidComponentSequenceNos 3
#define dispidComponentText 4
#define dispidAddRUVFileByName 5
#define dispidAddRUVFile 6
#define dispidUpdateAll 7
#define dispidTestGetSelection 8
#define dispidClearSelection 9
#define dispidSetSelection 10
#define dispidAddToSelection 11
#define dispidRemoveFromSelection 12
#define dispidRemoveRUVFile 13
#define dispidUpdate 14
#define dispidShowBrokenItems 15
#define dispidSelectedItem 16
#define dispidWorkingUnits 17
#define dispidAttributeWorkingUnits 18
#define dispidMakeBold 19
#define dispidClearBold 20
#define dispidDisplayNames 21
#define dispidShowSpools 22
#define dispidSelectedItems 23

/* IRUVSelectedItems: Count. Its Item is DISPID_VALUE and its _NewEnum DISPID_NEWENUM, as in every
   automation collection. */
#define dispidSelectedItemsCount 1

/* _DCorbelEvents. */
#define dispidEventSelectionChanged 1
#define dispidEventDropFile 2
#define dispidEventPopupMenu 3
#define dispidEventLButtonDblClick 4

#endif
