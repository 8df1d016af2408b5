#include "framework/WinApp.h"
#include <commctrl.h>
#include <ole2.h>

namespace {
CWinApp* g_pApp = nullptr;

CString ExecutableBaseName()
{
    char path[MAX_PATH] = "";
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    CString s(path);
    int slash = -1;
    for (int i = s.Find('\\'); i >= 0; i = s.Find('\\', i + 1)) slash = i;
    s = s.Mid(slash + 1);
    int dot = -1;
    for (int i = s.Find('.'); i >= 0; i = s.Find('.', i + 1)) dot = i;
    return dot > 0 ? s.Left(dot) : s;
}
}

CWinApp::CWinApp(const char* pszAppName)
{
    if (pszAppName) m_strAppName = pszAppName;
    g_pApp = this;
}

CWinApp::~CWinApp()
{
    if (g_pApp == this) g_pApp = nullptr;
}

CWinApp* AfxGetApp() { return g_pApp; }

CWnd* AfxGetMainWnd() { return g_pApp ? g_pApp->m_pMainWnd : nullptr; }

int AfxMessageBox(const char* text, UINT type)
{
    CString caption = g_pApp && !g_pApp->m_strAppName.IsEmpty() ? g_pApp->m_strAppName : ExecutableBaseName();
    CWnd* main = AfxGetMainWnd();
    HWND owner = main ? main->m_hWnd : nullptr;
    return ::MessageBoxA(owner, text, caption, type);
}

BOOL AfxOleInit()
{
    return SUCCEEDED(::OleInitialize(nullptr));
}

int AfxWinMain(HINSTANCE hInstance)
{
    INITCOMMONCONTROLSEX icc = { sizeof icc, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES };
    ::InitCommonControlsEx(&icc);
    CWinApp* app = AfxGetApp();
    if (!app) return -1;
    app->m_hInstance = hInstance;
    if (app->m_strAppName.IsEmpty()) app->m_strAppName = ExecutableBaseName();
    if (app->InitInstance()) {
        // This program has no message loop of its own: every window is a modal dialog.
    }
    return app->ExitInstance();
}
