// The control's type library as hosts and script engines read it: identity, order of the types,
// members with their DISPIDs, flags and parameter names, enumerations and the control class.
#include <windows.h>
#include <oleauto.h>

#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "resources/RUVFileTreeDispids.h"
#include "platform/com/ComPtr.h"
#include "platform/com/ScopedBstr.h"

using platform::ComPtr;
using platform::ScopedBstr;

namespace {

class TypeLibrary : public ::testing::Test {
protected:
    void SetUp() override
    {
        // The library embedded in the built module.
        ASSERT_EQ(LoadTypeLibEx(RUV_CONTROL_PATH, REGKIND_NONE, library.Receive()), S_OK);
    }

    ComPtr<ITypeInfo> Type(const wchar_t* name)
    {
        for (UINT i = 0; i < library->GetTypeInfoCount(); ++i) {
            ScopedBstr typeName;
            library->GetDocumentation(static_cast<INT>(i), typeName.Receive(), nullptr, nullptr, nullptr);
            if (typeName.Text() == name) {
                ComPtr<ITypeInfo> info;
                library->GetTypeInfo(i, info.Receive());
                return info;
            }
        }
        ADD_FAILURE() << "no type of that name";
        return ComPtr<ITypeInfo>();
    }

    // DISPID of a member, with its flags (FUNCFLAG_* for functions, VARFLAG_* for properties).
    struct Member {
        MEMBERID id;
        WORD flags;
        INVOKEKIND kind;
        std::vector<std::wstring> names; // the member's, then its parameters'
    };
    std::multimap<std::wstring, Member> Members(const ComPtr<ITypeInfo>& info)
    {
        std::multimap<std::wstring, Member> members;
        TYPEATTR* attr = nullptr;
        info->GetTypeAttr(&attr);
        for (UINT i = 0; i < attr->cFuncs; ++i) {
            FUNCDESC* func = nullptr;
            info->GetFuncDesc(i, &func);
            BSTR names[16] = {};
            UINT count = 0;
            info->GetNames(func->memid, names, 16, &count);
            Member member{func->memid, func->wFuncFlags, func->invkind, {}};
            for (UINT n = 0; n < count; ++n) {
                member.names.emplace_back(names[n] ? names[n] : L"");
                SysFreeString(names[n]);
            }
            members.emplace(member.names.at(0), member);
            info->ReleaseFuncDesc(func);
        }
        info->ReleaseTypeAttr(attr);
        ForEachVariable(info, [&](const VARDESC& var, const std::wstring& name) {
            members.emplace(name, Member{var.memid, var.wVarFlags, INVOKE_PROPERTYGET, {name}});
        });
        return members;
    }

    // Calls visit with each variable (property or enumeration constant) of info and its name.
    template <typename Visit>
    static void ForEachVariable(const ComPtr<ITypeInfo>& info, Visit visit)
    {
        TYPEATTR* attr = nullptr;
        info->GetTypeAttr(&attr);
        for (UINT i = 0; i < attr->cVars; ++i) {
            VARDESC* var = nullptr;
            info->GetVarDesc(i, &var);
            BSTR name = nullptr;
            UINT count = 0;
            info->GetNames(var->memid, &name, 1, &count);
            visit(*var, std::wstring(name ? name : L""));
            SysFreeString(name);
            info->ReleaseVarDesc(var);
        }
        info->ReleaseTypeAttr(attr);
    }

    ComPtr<ITypeLib> library;
};

TEST_F(TypeLibrary, IdentityAndOrderOfTypes)
{
    TLIBATTR* attr = nullptr;
    ASSERT_EQ(library->GetLibAttr(&attr), S_OK);
    wchar_t guid[40];
    StringFromGUID2(attr->guid, guid, 40);
    EXPECT_STREQ(guid, L"{3BA2B94A-BFA4-4C06-ACCD-3F2800446CF0}");
    EXPECT_EQ(attr->wMajorVerNum, 1);
    EXPECT_EQ(attr->wMinorVerNum, 0);
    EXPECT_EQ(attr->lcid, 0x0409u);
    EXPECT_TRUE(attr->wLibFlags & LIBFLAG_FCONTROL);
    library->ReleaseTLibAttr(attr);

    ScopedBstr name, help;
    library->GetDocumentation(-1, name.Receive(), help.Receive(), nullptr, nullptr);
    EXPECT_EQ(name.Text(), L"QuillRUVFileTree");
    EXPECT_EQ(help.Text(), L"Quill RUVFile Tree Control");

    std::vector<std::wstring> order;
    for (UINT i = 0; i < library->GetTypeInfoCount(); ++i) {
        ScopedBstr typeName;
        library->GetDocumentation(static_cast<INT>(i), typeName.Receive(), nullptr, nullptr, nullptr);
        order.push_back(typeName.Text());
    }
    EXPECT_EQ(order, (std::vector<std::wstring>{L"eComponentText", L"eWorkingUnitsType", L"_DCorbel", L"_DCorbelEvents", L"Corbel"}));
}

TEST_F(TypeLibrary, AutomationMembersWithTheirDispids)
{
    ComPtr<ITypeInfo> info = Type(L"_DCorbel");
    ASSERT_TRUE(info);
    TYPEATTR* attr = nullptr;
    info->GetTypeAttr(&attr);
    wchar_t guid[40];
    StringFromGUID2(attr->guid, guid, 40);
    EXPECT_STREQ(guid, L"{77A35C3A-021B-431F-96F6-EBF160890D93}");
    EXPECT_TRUE(attr->wTypeFlags & TYPEFLAG_FHIDDEN);
    info->ReleaseTypeAttr(attr);

    const std::map<std::wstring, MEMBERID> ids = {
        {L"SelectedItemCount", dispidSelectedItemCount}, {L"ShowComponentKeypoints", dispidShowComponentKeypoints},
        {L"ComponentSequenceNos", dispidComponentSequenceNos}, {L"ComponentText", dispidComponentText},
        {L"AddRUVFileByName", dispidAddRUVFileByName}, {L"AddRUVFile", dispidAddRUVFile},
        {L"UpdateAll", dispidUpdateAll}, {L"TestGetSelection", dispidTestGetSelection},
        {L"ClearSelection", dispidClearSelection}, {L"SetSelection", dispidSetSelection},
        {L"AddToSelection", dispidAddToSelection}, {L"RemoveFromSelection", dispidRemoveFromSelection},
        {L"RemoveRUVFile", dispidRemoveRUVFile}, {L"Update", dispidUpdate},
        {L"ShowBrokenItems", dispidShowBrokenItems}, {L"SelectedItem", dispidSelectedItem},
        {L"WorkingUnits", dispidWorkingUnits}, {L"AttributeWorkingUnits", dispidAttributeWorkingUnits},
        {L"MakeBold", dispidMakeBold}, {L"ClearBold", dispidClearBold}, {L"DisplayNames", dispidDisplayNames},
        {L"ShowSpools", dispidShowSpools}, {L"BorderStyle", -504}, {L"Appearance", -520}, {L"Enabled", -514},
        {L"Font", -512}, {L"AboutBox", -552},
    };
    // The control's own members are numbered one to twenty-two without a gap.
    EXPECT_EQ(dispidSelectedItemCount, 1);
    EXPECT_EQ(dispidShowSpools, 22);
    const auto members = Members(info);
    for (const auto& [name, id] : ids) {
        auto found = members.find(name);
        ASSERT_NE(found, members.end()) << std::string(name.begin(), name.end());
        EXPECT_EQ(found->second.id, id) << std::string(name.begin(), name.end());
    }
    EXPECT_TRUE(members.find(L"SelectedItemCount")->second.flags & VARFLAG_FREADONLY);
    for (const wchar_t* bindable : {L"ShowComponentKeypoints", L"ComponentSequenceNos", L"ComponentText", L"ShowSpools", L"Font"})
        EXPECT_TRUE(members.find(bindable)->second.flags & FUNCFLAG_FBINDABLE);
    for (const wchar_t* requestEdit : {L"BorderStyle", L"Appearance", L"Enabled"}) {
        const WORD flags = members.find(requestEdit)->second.flags;
        EXPECT_TRUE((flags & FUNCFLAG_FBINDABLE) && (flags & FUNCFLAG_FREQUESTEDIT));
    }
    EXPECT_EQ(members.find(L"WorkingUnits")->second.names, (std::vector<std::wstring>{L"WorkingUnits", L"ValueTypeKey"}));
    EXPECT_EQ(members.find(L"SetSelection")->second.names, (std::vector<std::wstring>{L"SetSelection", L"Object"}));
    EXPECT_EQ(members.find(L"AddRUVFile")->second.names, (std::vector<std::wstring>{L"AddRUVFile", L"RUVFile"}));
}

TEST_F(TypeLibrary, EventsAndControlClass)
{
    const auto events = Members(Type(L"_DCorbelEvents"));
    EXPECT_EQ(events.find(L"SelectionChanged")->second.names,
              (std::vector<std::wstring>{L"SelectionChanged", L"UnselectedObject", L"SelectedObject"}));
    EXPECT_EQ(events.find(L"DropFile")->second.id, 2);
    EXPECT_EQ(events.find(L"PopupMenu")->second.names,
              (std::vector<std::wstring>{L"PopupMenu", L"MouseX", L"MouseY", L"Object"}));
    EXPECT_EQ(events.find(L"LButtonDblClick")->second.id, 4);

    ComPtr<ITypeInfo> control = Type(L"Corbel");
    TYPEATTR* attr = nullptr;
    control->GetTypeAttr(&attr);
    EXPECT_TRUE(attr->wTypeFlags & TYPEFLAG_FCONTROL);
    EXPECT_TRUE(attr->wTypeFlags & TYPEFLAG_FCANCREATE);
    EXPECT_EQ(attr->cImplTypes, 2);
    wchar_t guid[40];
    StringFromGUID2(attr->guid, guid, 40);
    EXPECT_STREQ(guid, L"{D57B64F7-8728-4717-BD9C-A09719A06BA0}");
    control->ReleaseTypeAttr(attr);
    INT flags = 0;
    control->GetImplTypeFlags(1, &flags);
    EXPECT_EQ(flags, IMPLTYPEFLAG_FDEFAULT | IMPLTYPEFLAG_FSOURCE);
}

TEST_F(TypeLibrary, EnumerationValues)
{
    const auto values = [&](const wchar_t* type) {
        std::map<std::wstring, long> result;
        ForEachVariable(Type(type), [&](const VARDESC& var, const std::wstring& name) {
            result[name] = V_I4(var.lpvarValue);
        });
        return result;
    };
    EXPECT_EQ(values(L"eComponentText"), (std::map<std::wstring, long>{{L"eCTComponentType", 0}, {L"eCTFlyText", 1}}));
    EXPECT_EQ(values(L"eWorkingUnitsType"),
              (std::map<std::wstring, long>{{L"eWUTDefault", 0}, {L"eWUTMillimetres", 1}, {L"eWUTMetres", 2},
                                            {L"eWUTFeet", 3}, {L"eWUTInches", 4}, {L"eWUTKilograms", 1},
                                            {L"eWUTPounds", 2}}));
}

} // namespace
