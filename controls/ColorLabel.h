// CColorLabel: the program's static text, in a colour and font of its own on a background of
// its own colour. It can act as a link: a click (or Enter or Space once it has the focus)
// opens its own text with the shell, and a cursor of the owner's choice shows over it. Every
// setter returns the label, so that calls can be chained.
#pragma once
#include "framework/Framework.h"

class CColorLabel : public CStatic {
public:
    // Opens a link's text (the shell's "open" by default); tests put their own in its place.
    using LinkOpener = void (*)(const char* text);
    static LinkOpener SetLinkOpener(LinkOpener opener);

    CColorLabel();
    ~CColorLabel() override;

    CColorLabel& SetText(const char* text);
    CColorLabel& SetTextColor(COLORREF color);
    // No repaint by itself: the new background shows at the next repaint.
    CColorLabel& SetBkColor(COLORREF color);
    CColorLabel& SetFontName(const char* face);
    // A character height of `size` pixels.
    CColorLabel& SetFontSize(int size);
    CColorLabel& SetFontBold(bool bold);
    CColorLabel& SetFontUnderline(bool underline);
    // A link reports clicks and is a tab stop; a plain label lets clicks through to the dialog.
    CColorLabel& SetLink(bool link);
    CColorLabel& SetLinkCursor(HCURSOR cursor);

    HFONT GetTextFont() const { return m_font; }
    COLORREF GetTextColor() const { return m_crText; }
    HBRUSH GetBackBrush() const { return m_brushBack; }

protected:
    HBRUSH CtlColor(HDC dc, UINT nCtlColor);
    LRESULT OnSetText(WPARAM wp, LPARAM lp);
    LRESULT OnLButtonDown(WPARAM wp, LPARAM lp);
    LRESULT OnGetDlgCode(WPARAM wp, LPARAM lp);
    LRESULT OnKeyDown(WPARAM wp, LPARAM lp);
    LRESULT OnSetCursor(WPARAM wp, LPARAM lp);

    DECLARE_MESSAGE_MAP()

private:
    void RebuildFont();
    void OpenLink();
    // Repaints the label together with the dialog's surface under it: on a see-through
    // background the label cannot erase its old text itself.
    void RedrawWithParent(bool now);

    COLORREF m_crText;
    CBrush m_brushBack;
    LOGFONTA m_lf;
    CFont m_font;
    bool m_bLink = true;
    HCURSOR m_hCursor = nullptr;
};
