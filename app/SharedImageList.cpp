#include "app/SharedImageList.h"
#include "res/resource.h"
#include <initializer_list>

CImageList g_imageList;

void CreateSharedImageList()
{
    g_imageList.Create(18, 18, ILC_COLOR32 | ILC_MASK, 2, 2);
    HINSTANCE inst = ::GetModuleHandleA(nullptr);
    for (int id : {IDI_MAPPING_ROW, IDI_COLUMN_ROW})
        g_imageList.Add(::LoadIconA(inst, MAKEINTRESOURCEA(id)));
}
