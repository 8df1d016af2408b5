// The main dialog's look: fonts, colours and icons of its controls, its headers, and the
// dialog's own bands, frame and background.
#include "app/Banner.h"
#include "app/ConverterDlg.h"

namespace {
const COLORREF kBand = RGB(136, 170, 214);
const COLORREF kSurface = RGB(236, 246, 249);
const COLORREF kOrange = RGB(255, 165, 0);
const COLORREF kGold = RGB(255, 215, 0);
const COLORREF kGreen = RGB(0, 192, 0);
}

void CConverterDlg::StyleLabels()
{
    m_labelBanner.SetFontName("微软雅黑").SetFontSize(16).SetBkColor(kBand).SetTextColor(kOrange);
    m_labelBanner.SetText(g_astrBanner[0]).SetFontBold(true).SetFontUnderline(true);
    for (CColorLabel* caption : {&m_labelServer, &m_labelMapping, &m_labelTables, &m_labelFields})
        caption->SetFontName("Tahoma").SetFontSize(12).SetBkColor(kSurface).SetTextColor(kGreen);
    m_labelCredit.SetFontName("微软雅黑").SetFontSize(12).SetBkColor(kBand).SetTextColor(kGold);
    m_labelStatus.SetFontName("微软雅黑").SetFontSize(12).SetBkColor(kBand).SetTextColor(RGB(230, 0, 17));
    m_labelWebLink.SetFontName("Tahoma").SetFontSize(12).SetBkColor(kBand).SetTextColor(kGold);
    m_labelWebLink.SetLink(true).SetFontUnderline(true).SetLinkCursor(
        ::LoadCursorA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDC_LINK_HAND)));
    m_labelExcel.SetFontName("Tahoma").SetFontSize(12).SetBkColor(kSurface).SetTextColor(kGreen);
}

void CConverterDlg::StyleButtons()
{
    const std::pair<CSkinButton*, UINT> buttons[] = {
        {&m_btnExit, IDI_EXIT},           {&m_btnHowTo, IDI_HOWTO},     {&m_btnCreateMapping, IDI_CREATE_MAPPING},
        {&m_btnDestination, IDI_DESTINATION}, {&m_btnBrowse, IDI_BROWSE}, {&m_btnRemoveMapping, IDI_REMOVE_MAPPING},
        {&m_btnConvert, IDI_CONVERT},
    };
    for (const auto& [button, icon] : buttons) {
        button->SetIcons(icon, 0);
        button->SetColor(CSkinButton::ColorTextActive, kOrange, true);
        button->SetColor(CSkinButton::ColorTextIdle, RGB(34, 139, 34), true);
        button->SetTransparent(true);
    }
}

void CConverterDlg::StyleTableBoxAndFields()
{
    m_comboTables.SetColor(3, kGreen, true);
    m_comboTables.SetColor(0, kBand, true);
    m_comboTables.SetColor(2, RGB(245, 245, 245), true);
    m_comboTables.SetColor(1, RGB(65, 105, 225), true);
    m_comboTables.SetColor(4, kSurface, true);
    for (CEditEx* field : {&m_editServer, &m_editExcelPath}) {
        field->SetBackColor(RGB(255, 255, 200));
        field->SetTextColor(RGB(0, 0, 128));
        field->SetTextFont(-14, 400, 0, "Arial");
        field->SetBorderColor(kBand);
    }
}

void CConverterDlg::StyleGroupBoxes()
{
    LOGFONTA lf = {};
    lf.lfHeight = 90;   // 9 points
    lf.lfWeight = FW_NORMAL;
    lf.lfOutPrecision = OUT_STROKE_PRECIS;
    lf.lfClipPrecision = CLIP_STROKE_PRECIS;
    lf.lfQuality = PROOF_QUALITY;
    CopyFaceName(lf, "Tahoma");
    for (CFrameGroupBox* group : {&m_groupSource, &m_groupDest}) {
        group->SetCaptionFont(&lf);
        group->SetCaptionColor(kOrange, false);
        group->SetLineColors(kBand, 0, false);
        group->SetLook(CFrameGroupBox::LookFlat);
        group->m_nLineWidth = 1;
        group->Invalidate(TRUE);
    }
}

// Styled, then attached to the list's own header window. The list lays its header out only
// when something makes it: it is made to, so that the taller height takes effect.
void CConverterDlg::StyleHeaders()
{
    const std::pair<CListCtrl*, CSkinHeaderCtrl*> lists[] = {{&m_listColumns, &m_headerColumns},
                                                             {&m_listMapping, &m_headerMapping}};
    for (const auto& [list, header] : lists) {
        header->SetFontName("微软雅黑");
        header->SetFontSize(18, 0);
        header->SetFontBold(0);
        header->SetBackGradient(RGB(245, 245, 245), 3);
        header->SetHeightFactor(1.1f);
        header->SetTitleColor(RGB(0, 0, 128));
        header->SetGradientMode(0);
        if (!header->m_hWnd) header->SubclassWindow(list->GetHeaderCtrl());
        CSkinHeaderCtrl::RelayoutHeader(*list);
        header->SetFrameColor(RGB(245, 245, 245), true);
        header->SetDividerColor(RGB(211, 211, 211), true);
    }
}

void CConverterDlg::StyleDialog()
{
    SetFrame(true, 4, 35, kBand);
    SetCaptionIcon(2, 2, IDR_MAINFRAME, true);
    SetCaptionBand(1, 1, 34, kBand, true);
    SetFooterBand(1, 25, 24, kBand, true);
    SetBackgroundColor(kSurface);
}
