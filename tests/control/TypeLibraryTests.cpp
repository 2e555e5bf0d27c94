// The control's type library as hosts and script engines read it: the library, its types in order
// with their identities, and one table of every member of every type, checked in one loop.
#include <windows.h>
#include <oleauto.h>
#include <olectl.h>

#include <algorithm>
#include <map>
#include <vector>

#include <gtest/gtest.h>

#include "resources/RUVFileTreeDispids.h"
#include "platform/com/ComPtr.h"
#include "platform/com/Registration.h"
#include "platform/com/ScopedBstr.h"

using platform::ScopedBstr;

namespace {

// How a member is reached: INVOKE_FUNC (M), INVOKE_PROPERTYGET (G), ..PUT (P), ..PUTREF (R); a
// dispinterface property (V); an enumeration's constant (C), whose id is its value.
enum Kind : unsigned { M = 1, G = 2, P = 4, R = 8, V = 16, C = 32 };
constexpr WORD kBindable = FUNCFLAG_FBINDABLE, kRequestEdit = FUNCFLAG_FREQUESTEDIT;

struct Member {
    const wchar_t* names; // the member's name, then its parameters'
    long id;
    unsigned kinds;
    WORD flags = 0;
};

// Each type's members, two to a line.
const std::pair<const wchar_t*, std::vector<Member>> kMembers[] = {
    {L"_DCorbel",
     {{L"SelectedItemCount", dispidSelectedItemCount, V, VARFLAG_FREADONLY}, {L"UpdateAll", dispidUpdateAll, M},
      {L"AddRUVFileByName FileName", dispidAddRUVFileByName, M}, {L"AddRUVFile RUVFile", dispidAddRUVFile, M},
      {L"TestGetSelection", dispidTestGetSelection, M}, {L"SelectedItem Index", dispidSelectedItem, G},
      {L"SelectedItems", dispidSelectedItems, G},
      {L"ClearSelection", dispidClearSelection, M}, {L"SetSelection Object", dispidSetSelection, M},
      {L"AddToSelection Object", dispidAddToSelection, M}, {L"RemoveFromSelection Object", dispidRemoveFromSelection, M},
      {L"RemoveRUVFile RUVFile", dispidRemoveRUVFile, M}, {L"Update Object", dispidUpdate, M},
      {L"ShowBrokenItems", dispidShowBrokenItems, M}, {L"AboutBox", DISPID_ABOUTBOX, M},
      {L"WorkingUnits ValueTypeKey", dispidWorkingUnits, G | P}, {L"MakeBold Object", dispidMakeBold, M},
      {L"AttributeWorkingUnits AttributeName", dispidAttributeWorkingUnits, G | P}, {L"ClearBold Object", dispidClearBold, M},
      {L"DisplayNames Key", dispidDisplayNames, G | P}, {L"Font", DISPID_FONT, G | R, kBindable},
      {L"BorderStyle", DISPID_BORDERSTYLE, G | P, kBindable | kRequestEdit},
      {L"Appearance", DISPID_APPEARANCE, G | P, kBindable | kRequestEdit},
      {L"Enabled", DISPID_ENABLED, G | P, kBindable | kRequestEdit},
      {L"ShowComponentKeypoints", dispidShowComponentKeypoints, G | P, kBindable},
      {L"ComponentSequenceNos", dispidComponentSequenceNos, G | P, kBindable},
      {L"ComponentText", dispidComponentText, G | P, kBindable}, {L"ShowSpools", dispidShowSpools, G | P, kBindable}}},
    {L"_DCorbelEvents",
     {{L"SelectionChanged UnselectedObject SelectedObject", dispidEventSelectionChanged, M},
      {L"DropFile FileName", dispidEventDropFile, M}, {L"PopupMenu MouseX MouseY Object", dispidEventPopupMenu, M},
      {L"LButtonDblClick MouseX MouseY Object", dispidEventLButtonDblClick, M}}},
    {L"IRUVSelectedItems", {{L"Count", dispidSelectedItemsCount, G}, {L"Item Index", DISPID_VALUE, G},
                            {L"_NewEnum", DISPID_NEWENUM, G, FUNCFLAG_FRESTRICTED | FUNCFLAG_FHIDDEN}}},
    {L"eComponentText", {{L"eCTComponentType", 0, C}, {L"eCTFlyText", 1, C}}},
    {L"eWorkingUnitsType",
     {{L"eWUTDefault", 0, C}, {L"eWUTMillimetres", 1, C}, {L"eWUTMetres", 2, C}, {L"eWUTFeet", 3, C},
      {L"eWUTInches", 4, C}, {L"eWUTKilograms", 1, C}, {L"eWUTPounds", 2, C}}},
};

// The types in the library's order, with the identities hosts keep (none for the enumerations).
const std::tuple<const wchar_t*, TYPEKIND, const wchar_t*, WORD> kTypes[] = {
    {L"eComponentText", TKIND_ENUM, L"", 0},
    {L"eWorkingUnitsType", TKIND_ENUM, L"", 0},
    {L"IRUVSelectedItems", TKIND_DISPATCH, L"{9334F968-2299-4908-9AC9-EE04F669903F}", TYPEFLAG_FDUAL | TYPEFLAG_FNONEXTENSIBLE},
    {L"_DCorbel", TKIND_DISPATCH, L"{77A35C3A-021B-431F-96F6-EBF160890D93}", TYPEFLAG_FHIDDEN},
    {L"_DCorbelEvents", TKIND_DISPATCH, L"{E15DD35F-55DC-4EF1-A484-F1748D2AB540}", 0},
    {L"Corbel", TKIND_COCLASS, L"{D57B64F7-8728-4717-BD9C-A09719A06BA0}", TYPEFLAG_FCONTROL | TYPEFLAG_FCANCREATE},
};

std::wstring Describe(const std::wstring& names, long id, unsigned kinds, WORD flags)
{
    return names + L": id " + std::to_wstring(id) + L", kinds " + std::to_wstring(kinds) + L", flags " +
           std::to_wstring(flags);
}

std::wstring GuidText(const GUID& guid) { return guid == GUID_NULL ? L"" : platform::GuidText(guid); }

TEST(TypeLibrary, TheLibraryItsTypesAndEveryMember)
{
    platform::ComPtr<ITypeLib> library;
    ASSERT_EQ(LoadTypeLibEx(RUV_CONTROL_PATH, REGKIND_NONE, library.Receive()), S_OK); // the embedded one
    TLIBATTR* libraryAttr = nullptr;
    ASSERT_EQ(library->GetLibAttr(&libraryAttr), S_OK);
    EXPECT_EQ(GuidText(libraryAttr->guid), L"{3BA2B94A-BFA4-4C06-ACCD-3F2800446CF0}");
    EXPECT_TRUE(libraryAttr->wMajorVerNum == 1 && libraryAttr->wMinorVerNum == 0 && libraryAttr->lcid == 0x0409);
    EXPECT_TRUE(libraryAttr->wLibFlags & LIBFLAG_FCONTROL);
    library->ReleaseTLibAttr(libraryAttr);
    ScopedBstr name, help;
    library->GetDocumentation(-1, name.Receive(), help.Receive(), nullptr, nullptr);
    EXPECT_EQ(name.Text() + L": " + help.Text(), L"QuillRUVFileTree: Quill RUVFile Tree Control");

    ASSERT_EQ(library->GetTypeInfoCount(), std::size(kTypes));
    std::vector<std::wstring> members, expected;
    for (UINT t = 0; t < std::size(kTypes); ++t) {
        const auto& [typeName, kind, guid, typeFlags] = kTypes[t];
        platform::ComPtr<ITypeInfo> info;
        ScopedBstr documented;
        TYPEATTR* attr = nullptr;
        ASSERT_TRUE(library->GetTypeInfo(t, info.Receive()) == S_OK && info->GetTypeAttr(&attr) == S_OK);
        info->GetDocumentation(MEMBERID_NIL, documented.Receive(), nullptr, nullptr, nullptr);
        EXPECT_EQ(documented.Text(), typeName) << "type " << t;
        EXPECT_TRUE(attr->typekind == kind && GuidText(attr->guid) == guid) << t;
        EXPECT_EQ(attr->wTypeFlags & typeFlags, typeFlags) << t;
        // Property accessors share their DISPID: one row per name with the kinds it is reached by.
        std::map<std::wstring, Member> found;
        auto add = [&](MEMBERID memid, long id, unsigned kinds, WORD flags) {
            BSTR raw[8] = {};
            UINT count = 0;
            info->GetNames(memid, raw, 8, &count);
            std::wstring names = typeName;
            for (UINT i = 0; i < count; ++i) {
                ScopedBstr owned;
                *owned.Receive() = raw[i]; // owned from here on
                names += (i ? L" " : L".") + owned.Text();
            }
            Member& member = found.try_emplace(names, Member{nullptr, id, 0}).first->second;
            member.kinds |= kinds;
            member.flags |= flags;
        };
        for (UINT i = 0; i < attr->cFuncs; ++i) {
            FUNCDESC* func = nullptr;
            info->GetFuncDesc(i, &func);
            // A dual interface's dispatch view also lists what it inherits, under vtable-only ids.
            if (func->memid < 0x60000000)
                add(func->memid, func->memid, static_cast<unsigned>(func->invkind), func->wFuncFlags);
            info->ReleaseFuncDesc(func);
        }
        for (UINT i = 0; i < attr->cVars; ++i) {
            VARDESC* var = nullptr;
            info->GetVarDesc(i, &var);
            const bool constant = var->varkind == VAR_CONST;
            add(var->memid, constant ? V_I4(var->lpvarValue) : var->memid, constant ? C : V, var->wVarFlags);
            info->ReleaseVarDesc(var);
        }
        if (kind == TKIND_COCLASS) {
            INT source = 0;
            info->GetImplTypeFlags(1, &source);
            EXPECT_TRUE(attr->cImplTypes == 2 && source == (IMPLTYPEFLAG_FDEFAULT | IMPLTYPEFLAG_FSOURCE))
                << "the events are the default source";
        }
        info->ReleaseTypeAttr(attr);
        for (const auto& [names, m] : found)
            members.push_back(Describe(names, m.id, m.kinds, m.flags));
    }
    for (const auto& [type, typeMembers] : kMembers) {
        for (const Member& m : typeMembers)
            expected.push_back(Describe(std::wstring(type) + L"." + m.names, m.id, m.kinds, m.flags));
    }
    std::sort(members.begin(), members.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(members, expected);
}

} // namespace
