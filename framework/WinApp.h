// CWinApp: the application object. The framework's WinMain runs InitInstance and, when it
// returns FALSE (the program ran its main dialog modally), ends with ExitInstance's code.
#pragma once
#include "framework/Wnd.h"

class CWinApp {
public:
    explicit CWinApp(const char* pszAppName = nullptr);
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    virtual BOOL InitInstance() { return TRUE; }
    virtual int ExitInstance() { return 0; }

    CWnd* m_pMainWnd = nullptr;
    // The title of the framework's message boxes: the executable's base name unless given.
    CString m_strAppName;
    HINSTANCE m_hInstance = nullptr;
};

CWinApp* AfxGetApp();
CWnd* AfxGetMainWnd();
// A message box owned by the main window with the application title as caption.
int AfxMessageBox(const char* text, UINT type = MB_OK);
// Initialises OLE for the process; false when it fails.
BOOL AfxOleInit();
// Runs the application object: the body of the program's WinMain.
int AfxWinMain(HINSTANCE hInstance);
