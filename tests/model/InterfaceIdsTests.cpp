// The interface and class IDs that hosts and object models share: typed here once more, apart
// from the IDL, so that a slip in either shows.
#include <string>

#include <gtest/gtest.h>

#include "RUVModel.h"

namespace {

std::wstring Text(const GUID& guid)
{
    wchar_t text[40] = {};
    StringFromGUID2(guid, text, 40);
    return text;
}

TEST(InterfaceIds, MatchThePublishedValues)
{
    const std::pair<GUID, const wchar_t*> ids[] = {
        {IID_IRUVNavigator, L"{C4298B58-ECB2-4E7E-A820-5AF37C9A6A91}"},
        {IID_IRUVEntityRef, L"{FEDC7B33-2E39-44B1-9AA8-19B8D2114DBB}"},
        {IID_IRUVFile, L"{B5755B6F-92B0-43D3-8B86-70CC7FC5FB8E}"},
        {IID_IRUVPipelines, L"{29AAF9B1-C8F1-40E4-849C-96C4E47BE022}"},
        {IID_IRUVInformationItems, L"{D4B6D94F-F23E-41C2-AD64-3C243D66A0C8}"},
        {IID_IRUVKeypoints, L"{4BFA8822-90AC-47A9-80A1-C69E323B0EF9}"},
        {IID_IRUVPipeline, L"{2C21A4B6-C51A-4990-B440-B0841534F73A}"},
        {IID_IRUVComponentGroups, L"{2F88B732-D761-4E0F-9472-89DE824E5A3E}"},
        {IID_IRUVSheets, L"{117BD4E6-C6D8-46A7-B009-9B6A03E6CC18}"},
        {IID_IRUVComponentGroup, L"{3AE35E33-3DF8-478A-B320-887F0D8FA442}"},
        {IID_IRUVGroupMember, L"{F02891C9-B0EC-431F-A4FF-5CD52E606442}"},
        {IID_IRUVComponent, L"{0463893E-FC6A-40E5-9405-DC3A332B333C}"},
        {IID_IRUVMaterial, L"{9D24FBDC-47AF-4800-A55C-08B77B458238}"},
        {IID_IRUVTypeDictionary, L"{1376FC15-A0AA-4120-9F27-112A0563B46B}"},
        {IID_IRUVInformationItem, L"{FC13609A-F52B-4617-9960-4D41EED966B0}"},
        {IID_IRUVAttributes, L"{6625029A-F578-48ED-8D43-C942802AFAB2}"},
        {IID_IRUVAttribute, L"{2D070527-5F3F-4A0C-B426-2E598F6D470D}"},
        {IID_IRUVKeypoint, L"{30051697-96F2-4ACB-935E-320B435354C1}"},
        {IID_IRUVSheet, L"{8AC606AD-9B6F-4B16-B3CE-E0B663141804}"},
        {CLSID_RUVNavigator, L"{5A486531-0201-43E0-BD81-D544BB08D0DC}"},
    };
    for (const auto& [id, text] : ids)
        EXPECT_EQ(Text(id), text);
    EXPECT_TRUE(__uuidof(IRUVFile) == IID_IRUVFile) << "__uuidof works for C++ callers";
}

} // namespace
