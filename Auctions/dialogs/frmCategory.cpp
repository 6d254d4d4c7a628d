#include "frmCategory.h"

#include "Auctions.h"
#include "Categorys.h"
#include "MessageBoxSink.h"
#include "OrvError.h"
#include "OrvPictures.h"
#include "ResumeNext.h"
#include "Settings.h"
#include "TextForms.h"
#include "cGlobal.h"

#include <QCheckBox>
#include <QEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QLocale>
#include <QLoggingCategory>
#include <QPushButton>
#include <QVBoxLayout>
#include <cmath>
#include <limits>

namespace {

Q_LOGGING_CATEGORY(lcCategoryEditor, "orv.dialogs.category")

const QString notAvailable = QStringLiteral("N/A");

} // namespace

frmCategory::frmCategory(DialogServices services, QWidget* parent)
    : QWidget(parent, Qt::Window), m_services(std::move(services))
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Category Editor"));
    setWindowIcon(OrvPictures::icon(QStringLiteral("editcat")));
    cGlobal::AlwaysOnTop(this, m_services.settings && m_services.settings->AlwaysOnTop);

    txtName = new QLineEdit(this);
    txtName->setObjectName(QStringLiteral("txtName"));
    auto* FraData = new QGroupBox(QStringLiteral("Name"), this);
    FraData->setObjectName(QStringLiteral("FraData"));
    (new QVBoxLayout(FraData))->addWidget(txtName);

    chkLimit = new QCheckBox(QStringLiteral("Limit Items Won"), this);
    chkLimit->setObjectName(QStringLiteral("chkLimit"));
    txtMax = new QLineEdit(notAvailable, this);
    txtMax->setObjectName(QStringLiteral("txtMax"));
    txtMax->setEnabled(false);
    auto* Frame1 = new QGroupBox(QStringLiteral("Maximum Wins"), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    auto* limit = new QHBoxLayout(Frame1);
    limit->addWidget(chkLimit);
    limit->addWidget(txtMax);

    cmdSave = new QPushButton(QStringLiteral("Save Category"), this);
    cmdSave->setObjectName(QStringLiteral("cmdSave"));
    cmdSave->setToolTip(QStringLiteral("Save Current Record"));
    cmdSave->setDefault(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(FraData);
    layout->addWidget(Frame1);
    layout->addWidget(cmdSave, 0, Qt::AlignRight);
    setMinimumWidth(300);

    connect(chkLimit, &QCheckBox::clicked, this, &frmCategory::chkLimit_Click);
    connect(cmdSave, &QPushButton::clicked, this, &frmCategory::cmdSave_Click);
}

void frmCategory::View(Categorys& categorys, Auctions& auctions, const CategoryPtr& category)
{
    mCategorys = &categorys;
    mAuctions = &auctions;
    mCategory = category;
    // A new category starts empty, or Save would meet the one edited before as a duplicate.
    txtName->setText(category ? category->Name : QString());
    const bool limited = category && category->Limited;
    chkLimit->setChecked(limited);
    txtMax->setEnabled(limited);
    txtMax->setText(limited ? QString::number(category->MaxWins) : notAvailable);
    show();
    cGlobal::fnShowWindow(this);
    txtName->setFocus();
}

std::optional<qint32> frmCategory::maxWinsOf(const QString& text)
{
    const double value = TextForms::leadingNumber(text);
    if (!(value > 0))
        return 1;
    const qint64 rounded = TextForms::roundHalfEven(value);
    if (rounded > std::numeric_limits<qint32>::max())
        return std::nullopt;
    return qint32(rounded);
}

bool frmCategory::isNumber(const QString& name)
{
    const QString text = name.trimmed();
    if (TextForms::readTypedNumber(text))
        return true;
    // The readers take "nan" and "inf" for numbers; to the user they are words.
    const auto reads = [&text](const QLocale& locale) {
        bool number = false;
        const double value = locale.toDouble(text, &number);
        return number && std::isfinite(value);
    };
    return reads(QLocale()) || reads(QLocale::c());
}

void frmCategory::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && !txtMax->hasFocus())
        txtName->setFocus();
}

void frmCategory::chkLimit_Click()
{
    const bool checked = chkLimit->isChecked();
    txtMax->setEnabled(checked);
    if (!checked)
        txtMax->setText(notAvailable);
    else
        txtMax->setText(QString::number(mCategory ? mCategory->MaxWins : 1));
}

void frmCategory::cmdSave_Click()
{
    MessageBoxSink* boxes = m_services.messageBoxes;
    // A name of blanks would become a category without a name.
    const QString name = txtName->text().trimmed();
    const std::optional<qint32> maxWins = maxWinsOf(txtMax->text());
    if (name.isEmpty() || isNumber(name) || !maxWins) {
        if (boxes)
            boxes->show(MessageBoxSink::Exclamation, QStringLiteral("Information Not Complete"),
                        QStringLiteral("Please make sure each field is properly completed."));
        return;
    }
    if (!mCategorys || !mAuctions)
        return;
    try {
        save(name, chkLimit->isChecked(), *maxWins);
    } catch (const OrvError& error) {
        if (boxes)
            boxes->show(MessageBoxSink::Exclamation, QStringLiteral("Category Save Error"),
                        error.description());
        return;
    }
    if (m_services.save)
        resumeNext(lcCategoryEditor, [&] { m_services.save(); });
    close();
}

void frmCategory::save(const QString& name, bool limited, qint32 maxWins)
{
    if (!mCategory) {
        const CategoryPtr added = mCategorys->Add(name, false, 1);
        added->Limited = limited;
        added->MaxWins = maxWins;
        added->Updated();
        return;
    }
    if (!mCategorys->Items().contains(mCategory))
        throw OrvError::refused(QStringLiteral("Category Editor"), QStringLiteral("The category ") +
                                                                       mCategory->Name +
                                                                       QStringLiteral(" no longer exists."));
    if (name == mCategory->Name) {
        mCategory->Limited = limited;
        mCategory->MaxWins = maxWins;
        mCategory->Updated();
        return;
    }
    // A rename: the new category first, so that a refused name changes nothing.
    const QString oldName = mCategory->Name;
    const CategoryPtr renamed = mCategorys->Add(name, false, 1);
    renamed->Limited = limited;
    renamed->MaxWins = maxWins;
    for (const AuctionPtr& auction : mAuctions->Items()) {
        if (auction->Category == oldName)
            auction->Category = renamed->Name;
    }
    mCategorys->Remove(oldName);
    mCategory = renamed;
}
