// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QFont>
#include <QString>
#include <QVariant>
#include <QWidget>

class PropertyBag;
class QComboBox;
class QListWidget;

// A folder navigator: a path box on top of a list of the sub-folders of the
// path. Hosts use it as a folder picker (the user clicks an entry, the host
// reads selectedFile()) or as a folder enumerator:
//
//     nav->setPath(folder);           // no listing yet
//     nav->refresh();                 // lists; path() now ends with "/"
//     for (int i = 1; i < nav->listCount(); ++i) {   // entry 0 is ".."
//         nav->setListIndex(i);
//         use(nav->selectedFile());   // with an empty indicator: the bare folder name
//     }
//
// Entry 0 is the parent entry ".." (plus the indicator) except at a
// file-system root; the folders follow in case-insensitive name order. Paths
// use "/" as separator.
class FileNavBox : public QWidget {
    Q_OBJECT
public:
    explicit FileNavBox(QWidget* parent = nullptr);
    ~FileNavBox() override;

    // Colours. backColor: reads the list's background, sets the list's and the
    // path box's. borderColor: the control's own surface around the two.
    // foreColor: reads the list's text colour, sets the list's and the path box's.
    QColor backColor() const;
    void setBackColor(const QColor& color);
    QColor borderColor() const;
    void setBorderColor(const QColor& color);
    QColor foreColor() const;
    void setForeColor(const QColor& color);
    // Reads the path box's font; sets the font of both parts.
    QFont boxFont() const;
    void setBoxFont(const QFont& font);
    int mousePointer() const;
    void setMousePointer(int pointer);

    int listCount() const;
    QString list(int index) const;
    void setList(int index, const QString& text);
    // -1 for no selection. Setting it selects the entry and runs the same
    // steps as a click on it, FileChanged included.
    int listIndex() const;
    void setListIndex(int index);
    // The selected entry's text with each directory indicator replaced by "/".
    QString selectedFile() const;

    // The path box's text. Setting it does not re-list.
    QString path() const;
    void setPath(const QString& path);
    // The suffix of folder entries ("^" for a new control; hosts use "").
    // Setting it re-lists at once.
    QString directoryIndicator() const;
    void setDirectoryIndicator(const QString& indicator);

    // Re-lists the current path.
    void refresh();

    // Saving and restoring the design-time properties.
    void writeProperties(PropertyBag& bag) const;
    void readProperties(const PropertyBag& bag);

Q_SIGNALS:
    // After a click on an entry, with its selectedFile() form; with "" at the
    // end of every listing. Hosts may change the text.
    void FileChanged(QString& file);
    // At the end of every listing, with the path box's text, before FileChanged.
    void DirectoryChanged(QString& path);
    // After an entry was chosen from the path box's drop-down and listed.
    void Click();
    // Declared for hosts; never raised (a double click does nothing).
    void DblClick();
    // The mouse on the control's own surface (not on the path box or the list).
    // button: 1 left, 2 right, 4 middle; shift: 1 Shift, 2 Ctrl, 4 Alt; x and y
    // in twips (15 per pixel) from the control's top left corner.
    void MouseDown(int button, int shift, float x, float y);
    void MouseMove(int button, int shift, float x, float y);
    void MouseUp(int button, int shift, float x, float y);

public:
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    // Lays out the path box (375 twips high) over the list; a control of 375
    // twips or less grows so that the list keeps at least one pixel.
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    struct Private;
    Private* d;
};
