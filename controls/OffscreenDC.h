// COffscreenDC: a drawing surface that collects everything drawn on it in a memory bitmap
// covering the target's clip box, with the target's coordinates, and copies it to the target
// in one transfer when it goes out of scope: no flicker of half-drawn pictures.
#pragma once
#include "framework/Framework.h"

class COffscreenDC : public CMemDC {
public:
    explicit COffscreenDC(HDC target);
    ~COffscreenDC() override;
    // The area being drawn, in the target's coordinates; empty when there is nothing to draw.
    const RECT& Area() const { return m_rect; }

private:
    HDC m_hTarget;
    RECT m_rect = {0, 0, 0, 0};
};
