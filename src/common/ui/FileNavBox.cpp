// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/ui/FileNavBox.h"

#include "common/core/Colors.h"
#include "common/core/FolderListing.h"
#include "common/core/Twips.h"
#include "common/navbox/MouseCodes.h"
#include "common/navbox/NavBoxProperties.h"
#include "common/navbox/PropertyBag.h"
#include "common/navbox/SystemColors.h"
#include "common/ui/ClickLabel.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>

namespace P = NavBoxProperties;

namespace {

// The path box is 375 twips high; the list fills the rest.
constexpr int kPathBoxHeight = Twips::px(375);
// A control of 375 twips or less grows to 380 twips: in whole pixels, one
// pixel more than the path box, so that the list never vanishes.
constexpr int kMinimumHeight = kPathBoxHeight + 1;
constexpr int kDesignPointSize = 9;

std::uint32_t colorCode(const QVariant& value, std::uint32_t fallback)
{
    if (value.metaType().id() == QMetaType::QColor)
        return toBgr(value.value<QColor>());
    bool ok = false;
    const qlonglong code = value.toLongLong(&ok);
    if (!ok || code < 0 || code > 0xFFFFFFFFLL)
        return fallback;
    return std::uint32_t(code);
}

} // namespace

struct FileNavBox::Private {
    FileNavBox* q = nullptr;
    QComboBox* pathBox = nullptr;
    QListWidget* list = nullptr;
    QString indicator = P::DefaultDirectoryIndicator;
    // Colour codes as set, so that a system colour is saved as such.
    std::uint32_t listBack = P::NewListBackColor;
    std::uint32_t listFore = P::NewListForeColor;
    std::uint32_t border = P::DefaultBorderColor;
    int pointer = P::DefaultMousePointer;
    // Set while the list is rebuilt: the list's own selection signals are not clicks then.
    bool listing = false;

    QColor resolve(std::uint32_t code) const
    {
        const QColor color = SystemColors::resolve(code, QApplication::palette(q));
        return color.isValid() ? color : QApplication::palette(q).color(QPalette::Base);
    }

    void applyListColors()
    {
        QPalette p = list->palette();
        p.setColor(QPalette::Base, resolve(listBack));
        p.setColor(QPalette::Text, resolve(listFore));
        list->setPalette(p);
    }

    void applyPathBoxColor(QPalette::ColorRole role, std::uint32_t code)
    {
        QPalette p = pathBox->palette();
        p.setColor(role, resolve(code));
        pathBox->setPalette(p);
    }

    QFont hostFont() const { return q->parentWidget() ? q->parentWidget()->font() : QApplication::font(); }

    // Lists the folder the path box names: ".." (except at a root), the folders,
    // the "*.null" files; the path box then names the folder listed. A folder
    // that cannot be read lists nothing and keeps the typed text.
    void listFolder()
    {
        const FolderListing::Result result = FolderListing::list(pathBox->currentText(), indicator);
        listing = true;
        list->clear();
        list->addItems(result.entries);
        listing = false;
        pathBox->setEditText(result.path);
        QString directory = result.path;
        Q_EMIT q->DirectoryChanged(directory);
        QString none;
        Q_EMIT q->FileChanged(none);
    }

    // A click on the entry at the list's current row (also run by setListIndex).
    void entryClicked()
    {
        QString file = q->selectedFile();
        Q_EMIT q->FileChanged(file);
    }

    void layoutParts()
    {
        const int width = q->width();
        const int boxHeight = qMin(kPathBoxHeight, q->height());
        pathBox->setGeometry(0, 0, width, boxHeight);
        list->setGeometry(0, boxHeight, width, q->height() - boxHeight);
    }
};

FileNavBox::FileNavBox(QWidget* parent)
    : QWidget(parent)
    , d(new Private)
{
    d->q = this;

    d->pathBox = new QComboBox(this);
    d->pathBox->setObjectName(QStringLiteral("Combo2"));
    d->pathBox->setEditable(true);
    // The path box keeps typed paths out of its drop-down.
    d->pathBox->setInsertPolicy(QComboBox::NoInsert);
    d->pathBox->setCompleter(nullptr);
    d->pathBox->setFont(designFont(QStringLiteral("Courier New"), kDesignPointSize));
    d->pathBox->setEditText(P::defaultPath());

    d->list = new QListWidget(this);
    d->list->setObjectName(QStringLiteral("List2"));
    d->list->setSelectionMode(QAbstractItemView::SingleSelection);
    d->list->setFont(designFont(QStringLiteral("Verdana"), kDesignPointSize));
    d->applyListColors();

    connect(d->pathBox->lineEdit(), &QLineEdit::returnPressed, this, [this] {
        // Enter: the typed path is listed (the listing adds the trailing "/").
        d->listFolder();
    });
    connect(d->pathBox, &QComboBox::activated, this, [this] {
        d->listFolder();
        Q_EMIT Click();
    });
    connect(d->list, &QListWidget::currentRowChanged, this, [this] {
        if (!d->listing)
            d->entryClicked();
    });

    setMouseTracking(true);
    setMinimumHeight(kMinimumHeight);
    d->layoutParts();
}

FileNavBox::~FileNavBox()
{
    delete d;
}

QColor FileNavBox::backColor() const
{
    return d->list->palette().color(QPalette::Base);
}

void FileNavBox::setBackColor(const QColor& color)
{
    d->listBack = toBgr(color);
    d->applyListColors();
    d->applyPathBoxColor(QPalette::Base, d->listBack);
}

QColor FileNavBox::borderColor() const
{
    return d->resolve(d->border);
}

void FileNavBox::setBorderColor(const QColor& color)
{
    d->border = toBgr(color);
    update();
}

QColor FileNavBox::foreColor() const
{
    return d->list->palette().color(QPalette::Text);
}

void FileNavBox::setForeColor(const QColor& color)
{
    d->listFore = toBgr(color);
    d->applyListColors();
    d->applyPathBoxColor(QPalette::Text, d->listFore);
}

QFont FileNavBox::boxFont() const
{
    return d->pathBox->font();
}

void FileNavBox::setBoxFont(const QFont& font)
{
    d->pathBox->setFont(font);
    d->list->setFont(font);
}

int FileNavBox::mousePointer() const
{
    return d->pointer;
}

void FileNavBox::setMousePointer(int pointer)
{
    d->pointer = pointer;
    if (const auto shape = MouseCodes::pointerShape(pointer))
        setCursor(*shape);
    else
        unsetCursor();
}

int FileNavBox::listCount() const
{
    return d->list->count();
}

QString FileNavBox::list(int index) const
{
    const QListWidgetItem* item = d->list->item(index);
    return item ? item->text() : QString();
}

void FileNavBox::setList(int index, const QString& text)
{
    if (QListWidgetItem* item = d->list->item(index))
        item->setText(text);
}

int FileNavBox::listIndex() const
{
    return d->list->currentRow();
}

void FileNavBox::setListIndex(int index)
{
    if (index < -1 || index >= d->list->count())
        return; // no such entry: nothing changes
    if (index == d->list->currentRow()) {
        // Choosing the selected entry again still counts as a click.
        d->entryClicked();
        return;
    }
    if (index < 0)
        d->list->clearSelection();
    d->list->setCurrentRow(index); // raises the click through currentRowChanged
}

QString FileNavBox::selectedFile() const
{
    return FolderListing::selectedFile(list(listIndex()), d->indicator);
}

QString FileNavBox::path() const
{
    return d->pathBox->currentText();
}

void FileNavBox::setPath(const QString& path)
{
    d->pathBox->setEditText(path);
}

QString FileNavBox::directoryIndicator() const
{
    return d->indicator;
}

void FileNavBox::setDirectoryIndicator(const QString& indicator)
{
    d->indicator = indicator;
    d->listFolder();
}

void FileNavBox::refresh()
{
    d->listFolder();
    update();
}

void FileNavBox::writeProperties(PropertyBag& bag) const
{
    bag.write(P::BackColor, d->listBack, P::DefaultBackColor);
    bag.write(P::Enabled, !testAttribute(Qt::WA_ForceDisabled), P::DefaultEnabled);
    bag.write(P::Font, d->pathBox->font(), d->hostFont());
    bag.write(P::ForeColor, d->listFore, P::DefaultForeColor);
    bag.write(P::List0, list(0), QString());
    bag.write(P::ListIndex, listIndex(), P::DefaultListIndex);
    bag.write(P::MousePointer, d->pointer, P::DefaultMousePointer);
    bag.write(P::BorderColor, d->border, P::DefaultBorderColor);
    bag.write(P::SelectedFile, list(listIndex()));
    bag.write(P::Path, path(), P::defaultPath());
    bag.write(P::DirectoryIndicator, d->indicator, P::DefaultDirectoryIndicator);
}

void FileNavBox::readProperties(const PropertyBag& bag)
{
    // The order matters to hosts: the listing at the end replaces the restored
    // entry and selection with the content of the restored path.
    d->listBack = colorCode(bag.read(P::BackColor, P::DefaultBackColor), P::DefaultBackColor);
    d->applyListColors();
    setEnabled(bag.read(P::Enabled, P::DefaultEnabled).toBool());
    const QVariant font = bag.read(P::Font, d->hostFont());
    d->pathBox->setFont(font.metaType().id() == QMetaType::QFont ? font.value<QFont>() : d->hostFont());
    d->listFore = colorCode(bag.read(P::ForeColor, P::DefaultForeColor), P::DefaultForeColor);
    d->applyListColors();
    setList(0, bag.read(P::List0, QString()).toString());
    setListIndex(bag.read(P::ListIndex, P::DefaultListIndex).toInt());
    setMousePointer(bag.read(P::MousePointer, P::DefaultMousePointer).toInt());
    d->border = colorCode(bag.read(P::BorderColor, P::DefaultBorderColor), P::DefaultBorderColor);
    update();
    setPath(bag.read(P::Path, P::defaultPath()).toString());
    d->indicator = bag.read(P::DirectoryIndicator, P::DefaultDirectoryIndicator).toString();
    d->listFolder();
}

QSize FileNavBox::sizeHint() const
{
    return QSize(160, 160);
}

QSize FileNavBox::minimumSizeHint() const
{
    return QSize(40, kMinimumHeight);
}

void FileNavBox::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (height() < kMinimumHeight) {
        resize(width(), kMinimumHeight);
        return;
    }
    d->layoutParts();
}

void FileNavBox::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    // System colours follow a change of the desktop's colour scheme.
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::ApplicationPaletteChange)
        d->applyListColors();
}

void FileNavBox::paintEvent(QPaintEvent* event)
{
    Q_UNUSED(event);
    QPainter painter(this);
    painter.fillRect(rect(), borderColor());
}

namespace {

float toTwips(qreal pixels)
{
    return Twips::fromPixels(pixels);
}

} // namespace

void FileNavBox::mousePressEvent(QMouseEvent* event)
{
    const QPointF pos = event->position();
    Q_EMIT MouseDown(MouseCodes::buttons(event->button()), MouseCodes::shift(event->modifiers()), toTwips(pos.x()),
                     toTwips(pos.y()));
}

void FileNavBox::mouseMoveEvent(QMouseEvent* event)
{
    const QPointF pos = event->position();
    Q_EMIT MouseMove(MouseCodes::buttons(event->buttons()), MouseCodes::shift(event->modifiers()), toTwips(pos.x()),
                     toTwips(pos.y()));
}

void FileNavBox::mouseReleaseEvent(QMouseEvent* event)
{
    const QPointF pos = event->position();
    Q_EMIT MouseUp(MouseCodes::buttons(event->button()), MouseCodes::shift(event->modifiers()), toTwips(pos.x()),
                   toTwips(pos.y()));
}
