#include "app/ConverterApp.h"
#include "app/ConverterDlg.h"
#include "app/SharedImageList.h"
#include "app/Texts.h"
#include "destination/DestinationSettings.h"
#include "source/ExcelDriver.h"

BOOL CConverterApp::InitInstance()
{
    if (!IsExcelDriverInstalled()) {
        AfxMessageBox(kNoExcelDriverText, MB_OK);
        ::ExitProcess(0);
    }
    DestinationSettings::SetDefaults();
    AfxOleInit();   // a failure shows later, when the destination connection cannot be made
    CreateSharedImageList();

    {
        CConverterDlg dlg;
        m_pMainWnd = &dlg;
        dlg.DoModal();
        m_pMainWnd = nullptr;
    }
    return FALSE;
}

int CConverterApp::ExitInstance()
{
    g_imageList.DeleteImageList();
    return CWinApp::ExitInstance();
}
