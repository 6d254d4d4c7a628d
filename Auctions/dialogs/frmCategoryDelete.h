#pragma once

#include "Category.h"
#include "DialogServices.h"

#include <QPointer>
#include <QWidget>

class Auctions;
class Categorys;
class QComboBox;
class QPushButton;

// The category remover, "Category Remover": for a category that still holds auctions, the category
// that receives them. "Move Auctions" moves them, removes the category and saves the state file; when
// the chosen category is gone or an auction cannot move, the category stays and the error is shown.
class frmCategoryDelete : public QWidget
{
    Q_OBJECT
public:
    explicit frmCategoryDelete(DialogServices services, QWidget* parent = nullptr);

    // Lists every other category, keeps the three references and shows the window modeless.
    void View(Auctions& auctions, Categorys& categorys, const CategoryPtr& category);

protected:
    void changeEvent(QEvent* event) override;

private:
    void cmdSelect_Click();

    DialogServices m_services;
    QPointer<::Auctions> mAuctions;
    QPointer<::Categorys> mCategorys;
    CategoryPtr mCategory;

    QComboBox* cboCategory;
    QPushButton* cmdSelect;
};
