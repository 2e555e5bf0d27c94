// A dialog template of a module read back as data: the dialog's style, size, font and caption,
// and each control's class, ID, text, style and place (dialog units).
#pragma once

#include <windows.h>

#include <string>
#include <vector>

struct DialogItem {
    std::wstring className; // "Button", "Edit", "Static", "ListBox", "ScrollBar", "ComboBox" or a name
    int id;
    std::wstring text;
    DWORD style;
    RECT place; // left, top, width, height
};

struct DialogTemplate {
    DWORD style = 0;
    RECT place{};
    WORD fontSize = 0;
    std::wstring fontName;
    std::wstring caption;
    std::vector<DialogItem> items;
};

// Reads dialog id of module; an empty template (no items, no style) when there is none.
inline DialogTemplate ReadDialogTemplate(HMODULE module, int id)
{
    DialogTemplate result;
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(5)); // RT_DIALOG
    if (!found)
        return result;
    const auto* data = static_cast<const BYTE*>(LockResource(LoadResource(module, found)));
    const auto* words = reinterpret_cast<const WORD*>(data);
    auto dword = [&](size_t& at) {
        const DWORD value = words[at] | (static_cast<DWORD>(words[at + 1]) << 16);
        at += 2;
        return value;
    };
    auto text = [&](size_t& at) {
        std::wstring value;
        while (words[at])
            value += static_cast<wchar_t>(words[at++]);
        ++at;
        return value;
    };
    // A name, or an ordinal (0xFFFF and a number) given as "#number" or as a predefined class name.
    auto nameOrOrdinal = [&](size_t& at) -> std::wstring {
        if (words[at] == 0xFFFF) {
            const WORD ordinal = words[at + 1];
            at += 2;
            static const wchar_t* const classes[] = {L"Button", L"Edit", L"Static", L"ListBox", L"ScrollBar",
                                                     L"ComboBox"};
            if (ordinal >= 0x80 && ordinal <= 0x85)
                return classes[ordinal - 0x80];
            return L"#" + std::to_wstring(ordinal);
        }
        return text(at);
    };
    auto place = [&](size_t& at) {
        const auto x = static_cast<short>(words[at]), y = static_cast<short>(words[at + 1]);
        const auto cx = static_cast<short>(words[at + 2]), cy = static_cast<short>(words[at + 3]);
        at += 4;
        return RECT{x, y, cx, cy};
    };

    size_t at = 0;
    result.style = dword(at);
    dword(at); // extended style
    const WORD count = words[at++];
    result.place = place(at);
    nameOrOrdinal(at); // menu
    nameOrOrdinal(at); // class
    result.caption = text(at);
    if (result.style & DS_SETFONT) {
        result.fontSize = words[at++];
        result.fontName = text(at);
    }
    for (WORD i = 0; i < count; ++i) {
        at = (at + 1) & ~static_cast<size_t>(1); // items start on a DWORD boundary
        DialogItem item;
        item.style = dword(at);
        dword(at); // extended style
        item.place = place(at);
        item.id = static_cast<short>(words[at++]);
        item.className = nameOrOrdinal(at);
        item.text = nameOrOrdinal(at);
        const WORD extra = words[at++];
        at += (extra + 1) / 2;
        result.items.push_back(item);
    }
    return result;
}
