// The main dialog opened for tests, as the program opens it: the shared image list made, the
// application object holding the dialog as its main window.
#pragma once
#include "app/ConverterDlg.h"
#include "app/SharedImageList.h"
#include "support/ModalDriver.h"
#include <functional>
#include <gtest/gtest.h>

inline void EnsureSharedImageList()
{
    if (!g_imageList.m_hImageList) CreateSharedImageList();
}

// A fixture whose tests run `dlg` themselves (RunModal), once or more.
class MainDialogFixture : public ::testing::Test {
protected:
    static void SetUpTestSuite() { EnsureSharedImageList(); }
    void SetUp() override { app.m_pMainWnd = &dlg; }
    void TearDown() override { app.m_pMainWnd = nullptr; }

    CWinApp app{"SheetMover"};
    CConverterDlg dlg;
};

// Runs a main dialog once and calls `script` inside its modal loop.
inline void WithMainDialog(const std::function<void(CConverterDlg&, HWND)>& script)
{
    EnsureSharedImageList();
    CWinApp app("SheetMover");
    CConverterDlg dlg;
    app.m_pMainWnd = &dlg;
    RunModal(dlg, [&](HWND h) { script(dlg, h); });
    app.m_pMainWnd = nullptr;
}
