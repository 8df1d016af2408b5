// The small-icon list both report lists of the main dialog show: image 0 marks mapping rows,
// image 1 column rows.
#pragma once
#include "framework/ImageList.h"

extern CImageList g_imageList;

// Creates the list (18 x 18, 32-bit colour with mask) and loads its two icons.
void CreateSharedImageList();
