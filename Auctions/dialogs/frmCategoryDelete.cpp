#include "frmCategoryDelete.h"

#include "Auctions.h"
#include "Categorys.h"
#include "MessageBoxSink.h"
#include "OrvError.h"
#include "OrvPictures.h"
#include "ResumeNext.h"
#include "Settings.h"
#include "cGlobal.h"

#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QLoggingCategory>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

Q_LOGGING_CATEGORY(lcCategoryRemover, "orv.dialogs.categorydelete")

const QString source = QStringLiteral("Category Remover");

} // namespace

frmCategoryDelete::frmCategoryDelete(DialogServices services, QWidget* parent)
    : QWidget(parent, Qt::Window), m_services(std::move(services))
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Category Remover"));
    setWindowIcon(OrvPictures::icon(QStringLiteral("delcat")));
    cGlobal::AlwaysOnTop(this, m_services.settings && m_services.settings->AlwaysOnTop);

    cboCategory = new QComboBox(this);
    cboCategory->setObjectName(QStringLiteral("cboCategory"));
    cboCategory->setEditable(false);
    auto* FraData = new QGroupBox(QStringLiteral("Move Auctions to Category..."), this);
    FraData->setObjectName(QStringLiteral("FraData"));
    (new QVBoxLayout(FraData))->addWidget(cboCategory);
    cmdSelect = new QPushButton(QStringLiteral("Move Auctions"), this);
    cmdSelect->setObjectName(QStringLiteral("cmdSelect"));
    cmdSelect->setDefault(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(FraData);
    layout->addWidget(cmdSelect, 0, Qt::AlignRight);
    setMinimumWidth(300);

    connect(cmdSelect, &QPushButton::clicked, this, &frmCategoryDelete::cmdSelect_Click);
}

void frmCategoryDelete::View(Auctions& auctions, Categorys& categorys, const CategoryPtr& category)
{
    mAuctions = &auctions;
    mCategorys = &categorys;
    mCategory = category;
    cboCategory->clear();
    for (const CategoryPtr& other : categorys.Items()) {
        if (!category || other->Name != category->Name)
            cboCategory->addItem(OrvPictures::icon(QStringLiteral("category")), other->Name, other->Name);
    }
    cboCategory->setCurrentIndex(cboCategory->count() > 0 ? 0 : -1);
    show();
    cGlobal::fnShowWindow(this);
    cboCategory->setFocus();
}

void frmCategoryDelete::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        cboCategory->setFocus();
}

void frmCategoryDelete::cmdSelect_Click()
{
    MessageBoxSink* boxes = m_services.messageBoxes;
    if (cboCategory->currentIndex() < 0) {
        if (boxes)
            boxes->show(MessageBoxSink::Exclamation, QStringLiteral("Information Not Complete"),
                        QStringLiteral("Please make sure each field is properly completed."));
        return;
    }
    if (!mAuctions || !mCategorys || !mCategory)
        return;
    try {
        // Both ends must still be there, or the auctions would be left naming a category that no view
        // shows: nothing moves and nothing is removed.
        if (!mCategorys->Items().contains(mCategory))
            throw OrvError::refused(source, QStringLiteral("The category ") + mCategory->Name +
                                                QStringLiteral(" no longer exists."));
        const CategoryPtr target = mCategorys->Item(cboCategory->currentData().toString());
        const QString oldName = mCategory->Name;
        for (const AuctionPtr& auction : mAuctions->Items()) {
            if (auction->Category == oldName)
                auction->Category = target->Name;
        }
        mCategorys->Remove(oldName);
    } catch (const OrvError& error) {
        if (boxes)
            boxes->show(MessageBoxSink::Exclamation, QStringLiteral("Category Remove Error"),
                        error.description());
        return;
    }
    // The move is saved at once, as every other edit is.
    if (m_services.save)
        resumeNext(lcCategoryRemover, [&] { m_services.save(); });
    close();
}
