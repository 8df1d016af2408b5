#include "controls/OffscreenDC.h"

COffscreenDC::COffscreenDC(HDC target) : m_hTarget(target)
{
    ::GetClipBox(target, &m_rect);
    if (::IsRectEmpty(&m_rect) || !Create(target, m_rect.right - m_rect.left, m_rect.bottom - m_rect.top)) {
        m_rect = {0, 0, 0, 0};
        return;
    }
    SetWindowOrg(m_rect.left, m_rect.top);
}

COffscreenDC::~COffscreenDC()
{
    if (!GetSafeHdc()) return;
    ::BitBlt(m_hTarget, m_rect.left, m_rect.top, m_rect.right - m_rect.left, m_rect.bottom - m_rect.top, m_hDC,
             m_rect.left, m_rect.top, SRCCOPY);
}
