#include "control/CorbelDispatch.h"

#include "control/CorbelCtrl.h"
#include "platform/com/ScopedVariant.h"

using platform::DispatchArgs;
using platform::DispatchMember;
using platform::ObjectGetter;
using platform::ScopedVariant;

namespace {

using Getter = DispatchMember::Getter;
using Setter = DispatchMember::Setter;

// A method without a result.
template <typename Body>
Getter Action(Body body)
{
    return [body](const DispatchArgs& args, ScopedVariant&) {
        body(args);
        return S_OK;
    };
}

// A method taking one object.
Getter ObjectAction(CCorbelCtrl& control, void (CCorbelCtrl::*method)(IDispatch*))
{
    return Action([&control, method](const DispatchArgs& args) { (control.*method)(args.Object(0).Get()); });
}

// A BOOL property.
DispatchMember FlagProperty(DISPID id, CCorbelCtrl& control, BOOL (CCorbelCtrl::*get)(),
                            void (CCorbelCtrl::*set)(BOOL))
{
    return {id, 0,
            [&control, get](const DispatchArgs&, ScopedVariant& result) {
                result = (control.*get)() != FALSE;
                return S_OK;
            },
            [&control, set](const DispatchArgs& args) {
                (control.*set)(args.Bool(0));
                return S_OK;
            }};
}

// A text property with a text parameter.
DispatchMember KeyedTextProperty(DISPID id, CCorbelCtrl& control,
                                 std::wstring (CCorbelCtrl::*get)(const std::wstring&),
                                 void (CCorbelCtrl::*set)(const std::wstring&, const std::wstring&))
{
    return {id, 1,
            [&control, get](const DispatchArgs& args, ScopedVariant& result) {
                result = (control.*get)(args.String(0));
                return S_OK;
            },
            [&control, set](const DispatchArgs& args) {
                (control.*set)(args.String(0), args.String(1));
                return S_OK;
            }};
}

Getter NothingResult()
{
    return [](const DispatchArgs&, ScopedVariant& result) {
        result = static_cast<IDispatch*>(nullptr);
        return S_OK;
    };
}

} // namespace

std::vector<DispatchMember> CorbelMembers(CCorbelCtrl& control)
{
    CCorbelCtrl* c = &control;
    return {
        {dispidSelectedItemCount, 0,
         [c](const DispatchArgs&, ScopedVariant& result) {
             result = c->GetSelectedItemCount();
             return S_OK;
         },
         nullptr},
        FlagProperty(dispidShowComponentKeypoints, control, &CCorbelCtrl::GetShowComponentKeypoints,
                     &CCorbelCtrl::SetShowComponentKeypoints),
        FlagProperty(dispidComponentSequenceNos, control, &CCorbelCtrl::GetComponentSequenceNos,
                     &CCorbelCtrl::SetComponentSequenceNos),
        {dispidComponentText, 0,
         [c](const DispatchArgs&, ScopedVariant& result) {
             result = c->GetComponentText();
             return S_OK;
         },
         [c](const DispatchArgs& args) {
             c->SetComponentText(args.Short(0));
             return S_OK;
         }},
        // Loading by name is the host's business: the control opens no files.
        {dispidAddRUVFileByName, 1, NothingResult(), nullptr},
        {dispidAddRUVFile, 1, [c](const DispatchArgs& args, ScopedVariant&) { return c->AddRUVFile(args.Object(0).Get()); },
         nullptr},
        {dispidUpdateAll, 0, Action([c](const DispatchArgs&) { c->UpdateAll(); }), nullptr},
        {dispidTestGetSelection, 0, NothingResult(), nullptr},
        {dispidClearSelection, 0, Action([c](const DispatchArgs&) { c->ClearSelection(); }), nullptr},
        {dispidSetSelection, 1, ObjectAction(control, &CCorbelCtrl::SetSelection), nullptr},
        {dispidAddToSelection, 1, ObjectAction(control, &CCorbelCtrl::AddToSelection), nullptr},
        {dispidRemoveFromSelection, 1, ObjectAction(control, &CCorbelCtrl::RemoveFromSelection), nullptr},
        {dispidRemoveRUVFile, 1, ObjectAction(control, &CCorbelCtrl::RemoveRUVFile), nullptr},
        {dispidUpdate, 1, ObjectAction(control, &CCorbelCtrl::Update), nullptr},
        {dispidShowBrokenItems, 0, Action([c](const DispatchArgs&) { c->ShowBrokenItems(); }), nullptr},
        {dispidSelectedItem, 1,
         ObjectGetter<IDispatch>([c](const DispatchArgs& args, IDispatch** object) {
             return c->GetSelectedItem(args.Long(0), object);
         }),
         nullptr},
        // SelectedItems(0) reads the collection's Item, as scripts write it.
        {dispidSelectedItems, 0,
         ObjectGetter<IDispatch>([c](const DispatchArgs&, IDispatch** items) { return c->GetSelectedItems(items); }),
         nullptr, true},
        {dispidWorkingUnits, 1,
         [c](const DispatchArgs& args, ScopedVariant& result) {
             result = c->GetWorkingUnits(args.String(0));
             return S_OK;
         },
         [c](const DispatchArgs& args) {
             c->SetWorkingUnits(args.String(0), args.Long(1));
             return S_OK;
         }},
        KeyedTextProperty(dispidAttributeWorkingUnits, control, &CCorbelCtrl::GetAttributeWorkingUnits,
                          &CCorbelCtrl::SetAttributeWorkingUnits),
        {dispidMakeBold, 1, ObjectAction(control, &CCorbelCtrl::MakeBold), nullptr},
        {dispidClearBold, 1, ObjectAction(control, &CCorbelCtrl::ClearBold), nullptr},
        KeyedTextProperty(dispidDisplayNames, control, &CCorbelCtrl::GetDisplayNames, &CCorbelCtrl::SetDisplayNames),
        FlagProperty(dispidShowSpools, control, &CCorbelCtrl::GetShowSpools, &CCorbelCtrl::SetShowSpools),
    };
}
