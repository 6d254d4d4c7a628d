#pragma once

#include <QDialog>
#include <QList>

class QFrame;
class cApp;

// The first-use hints: one of four pages, chosen by a ViewInfoType.
class frmInfo : public QDialog
{
    Q_OBJECT
public:
    explicit frmInfo(cApp& app, QWidget* parent = nullptr);

    // Shows only the page whose index equals eInfo (none for a value outside 0 to 3).
    void View(int eInfo);

private:
    QList<QFrame*> m_frames;
};
