#pragma once

#include <QDialog>

class QLabel;
class QPushButton;
class cApp;

// The about box: the program's version and its logo, which opens the product's home page.
class frmAbout : public QDialog
{
    Q_OBJECT
public:
    explicit frmAbout(cApp& app, QWidget* parent = nullptr);

    void View();
    // "Version " and the running program's major, minor and revision numbers, unpadded.
    static QString versionText();

protected:
    void changeEvent(QEvent* event) override;

private:
    QLabel* m_version;
    QPushButton* m_cmdClose;
};
