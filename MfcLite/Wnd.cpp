#include "MfcLite/Wnd.h"

BOOL CWnd::DestroyWindow()
{
    if (!m_hWnd)
        return FALSE;
    const BOOL result = ::DestroyWindow(m_hWnd);
    if (result)
        m_hWnd = nullptr;
    return result;
}
