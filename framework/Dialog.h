#pragma once
// A dialog window made from a template, run modally, with its messages and
// control notifications bound to member handlers through a static message
// table. Dialog.cpp holds the whole dispatch path.

#include <windows.h>

#include <type_traits>

#include "MessageTable.h"
#include "Wnd.h"

class CDialog;

// One data exchange between a dialog and its control members: as the window
// is initialised every control member attaches to its dialog item, and as the
// window is destroyed it detaches again, so that the dialog object can be run
// again.
class CDataExchange
{
public:
    CDataExchange(CDialog& dialog, bool attach) noexcept : m_dialog(dialog), m_attach(attach) {}

    CDialog& m_dialog;
    bool m_attach; // true: controls attach to their items; false: they detach
};

// Attaches a control member to the dialog item with that id, or detaches it.
void DDX_Control(CDataExchange& dx, int nIDC, CWnd& control) noexcept;

class CDialog : public CWnd
{
public:
    // One entry of a message table. WM_COMMAND entries match a notification
    // code and a control id, WM_NOTIFY entries likewise; any other entry
    // matches its message alone. Exactly one handler is set.
    struct MessageMapEntry
    {
        UINT message;
        UINT code;
        UINT id;
        void (CDialog::*onCommand)();
        void (CDialog::*onNotify)(NMHDR* header, LRESULT* result);
        // Returns true when it handled the message, with its result; false lets
        // the framework's defaults and then the dialog manager's handling run.
        bool (CDialog::*onMessage)(WPARAM wParam, LPARAM lParam, LRESULT& result);
    };

    // The owner is the application's main window, when there is one.
    explicit CDialog(UINT nIDTemplate) noexcept;
    virtual ~CDialog();

    // Creates the window from the template and runs it until it ends: the
    // value given to EndDialog, or -1 when the window could not be created.
    virtual INT_PTR DoModal();

    // The dialog object of one of the framework's dialog windows, or null.
    static CDialog* FromHandle(HWND hWnd) noexcept;

    void EndDialog(INT_PTR nResult) noexcept;
    HWND GetDlgItem(int nID) const noexcept;
    // Moves the focus to a control through the dialog manager, which also
    // makes a push button that takes it the default button, as Tab does.
    void GotoDlgCtrl(HWND control) noexcept;

protected:
    virtual MessageTable<MessageMapEntry> GetMessageMap() const;
    virtual void DoDataExchange(CDataExchange& dx);
    // WM_INITDIALOG: attaches the controls. TRUE gives the focus to the first
    // tab stop.
    virtual BOOL OnInitDialog();
    // IDOK: ends the dialog with IDOK.
    virtual void OnOK();
    // IDCANCEL: ends the dialog with IDCANCEL.
    virtual void OnCancel();

private:
    static INT_PTR CALLBACK DialogProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
    bool Dispatch(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    bool DispatchDefault(UINT message, WPARAM wParam, LRESULT& result);
    void Exchange(bool attach);
    void Detach() noexcept;

    UINT m_nIDTemplate;
};

// Message table entries bound to handlers of the dialog class D.
template <typename D>
CDialog::MessageMapEntry CommandHandler(UINT code, UINT id, void (D::*handler)())
{
    static_assert(std::is_base_of_v<CDialog, D>, "the handler must belong to a dialog class");
    return {WM_COMMAND, code, id, static_cast<void (CDialog::*)()>(handler), nullptr, nullptr};
}

template <typename D>
CDialog::MessageMapEntry NotifyHandler(UINT code, UINT id, void (D::*handler)(NMHDR*, LRESULT*))
{
    static_assert(std::is_base_of_v<CDialog, D>, "the handler must belong to a dialog class");
    return {WM_NOTIFY, code, id, nullptr, static_cast<void (CDialog::*)(NMHDR*, LRESULT*)>(handler), nullptr};
}

template <typename D>
CDialog::MessageMapEntry MessageHandler(UINT message, bool (D::*handler)(WPARAM, LPARAM, LRESULT&))
{
    static_assert(std::is_base_of_v<CDialog, D>, "the handler must belong to a dialog class");
    return {message, 0,       0,
            nullptr, nullptr, static_cast<bool (CDialog::*)(WPARAM, LPARAM, LRESULT&)>(handler)};
}
