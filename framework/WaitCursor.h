#pragma once
// Shows the platform's wait cursor while the owner lives, for work that keeps
// the window from answering, and then puts back the cursor that was there
// before, whichever path leaves the owner's scope.

#include <windows.h>

class CWaitCursor
{
public:
    CWaitCursor() noexcept : m_hPrevious(::SetCursor(::LoadCursor(nullptr, IDC_WAIT))) {}
    ~CWaitCursor() { ::SetCursor(m_hPrevious); }
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;

private:
    HCURSOR m_hPrevious; // null when there was none, which is put back too
};
