// CBaseDialog: the common base of the program's caption-less dialogs. It paints their own
// look (a solid or shaded background, an inner frame line, a caption band and a footer band,
// an icon), hands its background brush to the dialog, makes static controls see-through on a
// shaded background, and lets the user drag the dialog by any point of its own surface.
#pragma once
#include "framework/Framework.h"

class CBaseDialog : public CDialog {
public:
    enum BackgroundStyle { BackgroundSolid = 0, BackgroundShadeDown = 1, BackgroundShadeToMiddle = 2 };

    CBaseDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);

    // The settings; each is called once the window exists (the band setters read its client
    // rectangle). See the comments in the .cpp for what repaints.
    void SetBackgroundColor(COLORREF color);
    void SetBackgroundStyle(int style, COLORREF baseColor, bool redraw);
    void SetFrame(bool show, int inset, COLORREF color);
    void SetFrame(bool show, int insetX, int insetY, COLORREF color);
    void SetCaptionBand(int margin, int top, int height, COLORREF color, bool rounded);
    void SetFooterBand(int margin, int fromBottom, int height, COLORREF color, bool rounded);
    void SetCaptionIcon(int x, int y, UINT iconId, bool redraw);

    // Paints everything of the dialog's look that is not the solid background: the shade,
    // the frame, the bands and the icon, over the whole client area. Used by the dialog's
    // own paint and by WM_PRINTCLIENT, so that a see-through control can ask for a copy of
    // what lies under it.
    void PaintBackground(CDC& dc);

    void OnOK() override;

    // Read by tests and by controls that draw on the dialog's surface.
    const RECT& CaptionBandRect() const { return m_band[0].rect; }
    const RECT& FooterBandRect() const { return m_band[1].rect; }
    int FrameInsetX() const { return m_nFrameInsetX; }
    int FrameInsetY() const { return m_nFrameInsetY; }

protected:
    HBRUSH OnCtlColor(HDC dc, HWND child, UINT nCtlColor, HBRUSH standard) override;
    void OnPaint();
    LRESULT OnPrintClient(WPARAM wp, LPARAM lp);
    void OnLButtonDown(UINT nFlags, POINT pt);

    DECLARE_MESSAGE_MAP()

private:
    struct Band {
        bool shown = false;
        RECT rect = {0, 0, 0, 0};
        COLORREF color;
        bool rounded = true;
    };
    void PaintShade(CDC& dc, int width, int height);
    void PaintFrame(CDC& dc, const RECT& client);
    static void PaintBand(CDC& dc, const Band& band);

    COLORREF m_crBackground;
    CBrush m_brushBackground;
    int m_nBackgroundStyle = BackgroundSolid;
    bool m_bFrame = false;
    int m_nFrameInsetX = 2;
    int m_nFrameInsetY = 0;
    COLORREF m_crFrame;
    Band m_band[2];   // caption, footer
    CIcon m_icon;
    POINT m_ptIcon = {0, 0};
};
