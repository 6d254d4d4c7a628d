#pragma once

#include <QDialog>
#include <QPointer>
#include <utility>

// A modal dialog kept on the heap while it runs. Its parent window may be deleted during exec() — the
// program closes windows of its own accord, and a splash closes itself — and a parent deletes its
// children: a dialog on the stack would then be freed as if it were on the heap. Here it simply goes,
// and exec() answers Rejected.
template <typename Dialog> class GuardedDialog
{
public:
    template <typename... Args>
    explicit GuardedDialog(Args&&... args) : m_dialog(new Dialog(std::forward<Args>(args)...))
    {
    }
    ~GuardedDialog() { delete m_dialog.data(); }
    GuardedDialog(const GuardedDialog&) = delete;
    GuardedDialog& operator=(const GuardedDialog&) = delete;

    // Null once the dialog has gone with its parent.
    Dialog* operator->() const { return m_dialog.data(); }

    int exec() { return m_dialog ? m_dialog->exec() : int(QDialog::Rejected); }

private:
    QPointer<Dialog> m_dialog;
};
