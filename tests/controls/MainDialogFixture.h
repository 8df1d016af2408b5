// The main dialog opened for tests of the controls it holds.
#pragma once
#include "app/ConverterDlg.h"
#include "app/SharedImageList.h"
#include "support/ModalDriver.h"
#include <functional>

inline void WithMainDialog(const std::function<void(CConverterDlg&, HWND)>& script)
{
    if (!g_imageList.m_hImageList) CreateSharedImageList();
    CWinApp app("SheetMover");
    CConverterDlg dlg;
    app.m_pMainWnd = &dlg;
    RunModal(dlg, [&](HWND h) { script(dlg, h); });
    app.m_pMainWnd = nullptr;
}
