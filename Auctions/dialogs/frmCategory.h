#pragma once

#include "Category.h"
#include "DialogServices.h"

#include <QPointer>
#include <QWidget>
#include <optional>

class Auctions;
class Categorys;
class QCheckBox;
class QLineEdit;
class QPushButton;

// The category editor, "Category Editor": adds a category or changes one's name, win limit and most
// wins. A new name is a new category: it is added, the old one's auctions move to it, and the old one
// is removed. Save stores, saves the state file and closes the window.
class frmCategory : public QWidget
{
    Q_OBJECT
public:
    explicit frmCategory(DialogServices services, QWidget* parent = nullptr);

    // Opens the editor on `category`, or for a new category when it is null, and shows it modeless.
    void View(Categorys& categorys, Auctions& auctions, const CategoryPtr& category);

    // The most wins that the text of the "Maximum Wins" box stands for: its leading number rounded
    // (halves to even) when above 0, otherwise 1; nothing when it does not fit 32 bits.
    static std::optional<qint32> maxWinsOf(const QString& text);
    // Whether a name reads as a number (a year, "1e5", "1,000"), which a category may not be named.
    static bool isNumber(const QString& name);

protected:
    void changeEvent(QEvent* event) override;

private:
    void chkLimit_Click();
    void cmdSave_Click();
    void save(const QString& name, bool limited, qint32 maxWins);

    DialogServices m_services;
    QPointer<::Categorys> mCategorys;
    QPointer<::Auctions> mAuctions;
    CategoryPtr mCategory;

    QLineEdit* txtName;
    QCheckBox* chkLimit;
    QLineEdit* txtMax;
    QPushButton* cmdSave;
};
