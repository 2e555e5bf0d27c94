// The control's type library as hosts and script engines read it: the library, its types in order
// with their identities, and one table of every member of every type, checked in one loop.
#include <windows.h>
#include <oleauto.h>
#include <olectl.h>

#include <algorithm>
#include <iterator>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "resources/RUVFileTreeDispids.h"
#include "platform/com/ComPtr.h"
#include "platform/com/ScopedBstr.h"

using platform::ComPtr;
using platform::ScopedBstr;

namespace {

// How a member is reached: INVOKE_FUNC (M), INVOKE_PROPERTYGET (G), ..PUT (P), ..PUTREF (R); a
// dispinterface property (V) or an enumeration constant (C), whose id column is its value.
enum Kind : unsigned { M = 1, G = 2, P = 4, R = 8, V = 16, C = 32 };
constexpr WORD kBindable = FUNCFLAG_FBINDABLE, kRequestEdit = FUNCFLAG_FREQUESTEDIT, kReadOnly = VARFLAG_FREADONLY;

struct Member {
    const wchar_t* type;
    const wchar_t* names; // the member's name, then its parameters'
    long id;
    unsigned kinds;
    WORD flags;
};

const Member kMembers[] = {
    {L"_DCorbel", L"SelectedItemCount", dispidSelectedItemCount, V, kReadOnly},
    {L"_DCorbel", L"AddRUVFileByName FileName", dispidAddRUVFileByName, M, 0},
    {L"_DCorbel", L"AddRUVFile RUVFile", dispidAddRUVFile, M, 0},
    {L"_DCorbel", L"UpdateAll", dispidUpdateAll, M, 0},
    {L"_DCorbel", L"TestGetSelection", dispidTestGetSelection, M, 0},
    {L"_DCorbel", L"SelectedItem Index", dispidSelectedItem, G, 0},
    {L"_DCorbel", L"ClearSelection", dispidClearSelection, M, 0},
    {L"_DCorbel", L"SetSelection Object", dispidSetSelection, M, 0},
    {L"_DCorbel", L"AddToSelection Object", dispidAddToSelection, M, 0},
    {L"_DCorbel", L"RemoveFromSelection Object", dispidRemoveFromSelection, M, 0},
    {L"_DCorbel", L"RemoveRUVFile RUVFile", dispidRemoveRUVFile, M, 0},
    {L"_DCorbel", L"Update Object", dispidUpdate, M, 0},
    {L"_DCorbel", L"ShowBrokenItems", dispidShowBrokenItems, M, 0},
    {L"_DCorbel", L"AboutBox", DISPID_ABOUTBOX, M, 0},
    {L"_DCorbel", L"WorkingUnits ValueTypeKey", dispidWorkingUnits, G | P, 0},
    {L"_DCorbel", L"AttributeWorkingUnits AttributeName", dispidAttributeWorkingUnits, G | P, 0},
    {L"_DCorbel", L"MakeBold Object", dispidMakeBold, M, 0},
    {L"_DCorbel", L"ClearBold Object", dispidClearBold, M, 0},
    {L"_DCorbel", L"DisplayNames Key", dispidDisplayNames, G | P, 0},
    {L"_DCorbel", L"BorderStyle", DISPID_BORDERSTYLE, G | P, kBindable | kRequestEdit},
    {L"_DCorbel", L"Appearance", DISPID_APPEARANCE, G | P, kBindable | kRequestEdit},
    {L"_DCorbel", L"Enabled", DISPID_ENABLED, G | P, kBindable | kRequestEdit},
    {L"_DCorbel", L"Font", DISPID_FONT, G | R, kBindable},
    {L"_DCorbel", L"ShowComponentKeypoints", dispidShowComponentKeypoints, G | P, kBindable},
    {L"_DCorbel", L"ComponentSequenceNos", dispidComponentSequenceNos, G | P, kBindable},
    {L"_DCorbel", L"ComponentText", dispidComponentText, G | P, kBindable},
    {L"_DCorbel", L"ShowSpools", dispidShowSpools, G | P, kBindable},
    {L"_DCorbelEvents", L"SelectionChanged UnselectedObject SelectedObject", dispidEventSelectionChanged, M, 0},
    {L"_DCorbelEvents", L"DropFile FileName", dispidEventDropFile, M, 0},
    {L"_DCorbelEvents", L"PopupMenu MouseX MouseY Object", dispidEventPopupMenu, M, 0},
    {L"_DCorbelEvents", L"LButtonDblClick MouseX MouseY Object", dispidEventLButtonDblClick, M, 0},
    {L"eComponentText", L"eCTComponentType", 0, C, 0},
    {L"eComponentText", L"eCTFlyText", 1, C, 0},
    {L"eWorkingUnitsType", L"eWUTDefault", 0, C, 0},
    {L"eWorkingUnitsType", L"eWUTMillimetres", 1, C, 0},
    {L"eWorkingUnitsType", L"eWUTMetres", 2, C, 0},
    {L"eWorkingUnitsType", L"eWUTFeet", 3, C, 0},
    {L"eWorkingUnitsType", L"eWUTInches", 4, C, 0},
    {L"eWorkingUnitsType", L"eWUTKilograms", 1, C, 0},
    {L"eWorkingUnitsType", L"eWUTPounds", 2, C, 0},
};

// The types in the library's order, with the identities hosts keep.
struct Type {
    const wchar_t* name;
    TYPEKIND kind;
    const wchar_t* guid; // null for the enumerations
    WORD flags;
};

const Type kTypes[] = {
    {L"eComponentText", TKIND_ENUM, nullptr, 0},
    {L"eWorkingUnitsType", TKIND_ENUM, nullptr, 0},
    {L"_DCorbel", TKIND_DISPATCH, L"{77A35C3A-021B-431F-96F6-EBF160890D93}", TYPEFLAG_FHIDDEN},
    {L"_DCorbelEvents", TKIND_DISPATCH, L"{E15DD35F-55DC-4EF1-A484-F1748D2AB540}", 0},
    {L"Corbel", TKIND_COCLASS, L"{D57B64F7-8728-4717-BD9C-A09719A06BA0}", TYPEFLAG_FCONTROL | TYPEFLAG_FCANCREATE},
};

std::wstring Describe(const std::wstring& type, const std::wstring& names, long id, unsigned kinds, WORD flags)
{
    return type + L"." + names + L" id " + std::to_wstring(id) + L" kinds " + std::to_wstring(kinds) + L" flags " +
           std::to_wstring(flags);
}

std::wstring GuidText(const GUID& guid)
{
    wchar_t text[40] = {};
    StringFromGUID2(guid, text, 40);
    return text;
}

// The member's name and its parameters' names, separated by blanks.
std::wstring NamesOf(ITypeInfo* info, MEMBERID id)
{
    BSTR raw[8] = {};
    UINT count = 0;
    info->GetNames(id, raw, 8, &count);
    std::wstring names;
    for (UINT i = 0; i < count; ++i) {
        ScopedBstr name;
        *name.Receive() = raw[i]; // owned from here on
        names += (i ? L" " : L"") + name.Text();
    }
    return names;
}

TEST(TypeLibrary, TheLibraryItsTypesAndEveryMember)
{
    ComPtr<ITypeLib> library;
    ASSERT_EQ(LoadTypeLibEx(RUV_CONTROL_PATH, REGKIND_NONE, library.Receive()), S_OK); // the embedded one
    TLIBATTR* libraryAttr = nullptr;
    ASSERT_EQ(library->GetLibAttr(&libraryAttr), S_OK);
    EXPECT_EQ(GuidText(libraryAttr->guid), L"{3BA2B94A-BFA4-4C06-ACCD-3F2800446CF0}");
    EXPECT_EQ(libraryAttr->wMajorVerNum * 100 + libraryAttr->wMinorVerNum, 100) << "version 1.0";
    EXPECT_EQ(libraryAttr->lcid, 0x0409u);
    EXPECT_TRUE(libraryAttr->wLibFlags & LIBFLAG_FCONTROL);
    library->ReleaseTLibAttr(libraryAttr);
    ScopedBstr name, help;
    library->GetDocumentation(-1, name.Receive(), help.Receive(), nullptr, nullptr);
    EXPECT_EQ(name.Text() + L": " + help.Text(), L"QuillRUVFileTree: Quill RUVFile Tree Control");

    ASSERT_EQ(library->GetTypeInfoCount(), std::size(kTypes));
    std::vector<std::wstring> members;
    for (UINT t = 0; t < std::size(kTypes); ++t) {
        ComPtr<ITypeInfo> info;
        ASSERT_EQ(library->GetTypeInfo(t, info.Receive()), S_OK);
        ScopedBstr typeName;
        info->GetDocumentation(MEMBERID_NIL, typeName.Receive(), nullptr, nullptr, nullptr);
        EXPECT_EQ(typeName.Text(), kTypes[t].name) << "type " << t;
        TYPEATTR* attr = nullptr;
        ASSERT_EQ(info->GetTypeAttr(&attr), S_OK);
        EXPECT_EQ(attr->typekind, kTypes[t].kind) << t;
        EXPECT_EQ(kTypes[t].guid ? GuidText(attr->guid) : L"", kTypes[t].guid ? kTypes[t].guid : L"") << t;
        EXPECT_EQ(attr->wTypeFlags & kTypes[t].flags, kTypes[t].flags) << t;
        // Property accessors share their DISPID: one row per name with the kinds it is reached by.
        std::vector<std::pair<std::wstring, Member>> found;
        auto add = [&](MEMBERID memid, long id, unsigned kind, WORD flags) {
            const std::wstring names = NamesOf(info.Get(), memid);
            auto same = std::find_if(found.begin(), found.end(), [&](const auto& f) { return f.first == names; });
            if (same == found.end())
                same = found.insert(found.end(), {names, Member{nullptr, nullptr, id, 0, 0}});
            same->second.kinds |= kind;
            same->second.flags |= flags;
        };
        for (UINT i = 0; i < attr->cFuncs; ++i) {
            FUNCDESC* func = nullptr;
            info->GetFuncDesc(i, &func);
            add(func->memid, func->memid, static_cast<unsigned>(func->invkind), func->wFuncFlags);
            info->ReleaseFuncDesc(func);
        }
        for (UINT i = 0; i < attr->cVars; ++i) {
            VARDESC* var = nullptr;
            info->GetVarDesc(i, &var);
            if (var->varkind == VAR_CONST)
                add(var->memid, V_I4(var->lpvarValue), C, 0);
            else
                add(var->memid, var->memid, V, var->wVarFlags);
            info->ReleaseVarDesc(var);
        }
        if (attr->typekind == TKIND_COCLASS) {
            INT source = 0;
            info->GetImplTypeFlags(1, &source);
            EXPECT_EQ(attr->cImplTypes, 2);
            EXPECT_EQ(source, IMPLTYPEFLAG_FDEFAULT | IMPLTYPEFLAG_FSOURCE) << "the events are the default source";
        }
        info->ReleaseTypeAttr(attr);
        for (const auto& [names, m] : found)
            members.push_back(Describe(kTypes[t].name, names, m.id, m.kinds, m.flags));
    }
    std::vector<std::wstring> expected;
    for (const Member& m : kMembers)
        expected.push_back(Describe(m.type, m.names, m.id, m.kinds, m.flags));
    std::sort(members.begin(), members.end());
    std::sort(expected.begin(), expected.end());
    auto without = [](const std::vector<std::wstring>& all, const std::vector<std::wstring>& these) {
        std::vector<std::wstring> rest;
        std::set_difference(all.begin(), all.end(), these.begin(), these.end(), std::back_inserter(rest));
        return rest;
    };
    EXPECT_EQ(without(expected, members), std::vector<std::wstring>{}) << "members missing from the library";
    EXPECT_EQ(without(members, expected), std::vector<std::wstring>{}) << "members the table does not list";
}

} // namespace
