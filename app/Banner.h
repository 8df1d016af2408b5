// The banner line of the main dialog: eight texts shown in turn, one every six seconds.
#pragma once

constexpr int kBannerLines = 8;
extern const char* const g_astrBanner[kBannerLines];
// Index of the text shown last; belongs to the process, never reset.
extern int g_nBannerLine;
