// The convert command (button 1 or Enter). The dialog stays open after it.
#include "app/ConverterDlg.h"

void CConverterDlg::OnOK()
{
    if (m_listMapping.GetItemCount() == 0) {
        MessageBox("尚未建立字段映射表,不能进行数据转换!", "提示:", MB_OK | MB_ICONINFORMATION);
        return;
    }
}
