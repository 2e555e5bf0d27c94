// The reference object model served in-process to a test: COM initialised on the thread, the
// navigator's class registered (the displays create navigators by class ID), and a count of the
// model objects alive at the start, so that a test can check that none leaked.
#pragma once

#include <windows.h>
#include <objbase.h>

#include <gtest/gtest.h>

#include "ClassFactory.h"
#include "Faults.h"
#include "RUVModel.h"

class InProcessModel {
public:
    InProcessModel()
    {
        EXPECT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
        m_liveAtStart = ruvmodel::faults::LiveObjects();
        EXPECT_EQ(CoRegisterClassObject(CLSID_RUVNavigator, ruvmodel::com::ClassFactoryFor(CLSID_RUVNavigator),
                                        CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &m_cookie),
                  S_OK);
    }
    // Takes the navigator's class away (for a test of what happens without it).
    void RevokeNavigator()
    {
        if (m_cookie)
            CoRevokeClassObject(m_cookie);
        m_cookie = 0;
    }
    // Call after the test released what it held on the model.
    void Finish()
    {
        ruvmodel::faults::ClearAll();
        RevokeNavigator();
        EXPECT_EQ(ruvmodel::faults::LiveObjects(), m_liveAtStart) << "model objects leaked";
        CoUninitialize();
    }
    InProcessModel(const InProcessModel&) = delete;
    InProcessModel& operator=(const InProcessModel&) = delete;

private:
    DWORD m_cookie = 0;
    long m_liveAtStart = 0;
};
