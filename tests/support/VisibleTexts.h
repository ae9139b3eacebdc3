#pragma once

#include <QAbstractButton>
#include <QAbstractItemModel>
#include <QAbstractItemView>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <string>
#include <vector>

// The texts a window shows the operator, each with where it stands, for tests that check the
// language of a whole window: the title, the labels, buttons, group titles, combo box items, line
// edit hints, and the headers and cells of its tables and lists. Hidden widgets are left out.
namespace test {

struct ShownText {
    QString where; // "QLabel", "QPushButton", "header 3", ...
    QString text;
    bool data = false; // a table cell: figures and names from the records, not the window's words
};

// Unicode blocks of Chinese text (ideographs, CJK and full-width punctuation).
inline bool holdsCjk(const QString& text)
{
    for (const QChar c : text)
        if ((c.unicode() >= 0x3000 && c.unicode() <= 0x9FFF) ||
            (c.unicode() >= 0xFF00 && c.unicode() <= 0xFFEF))
            return true;
    return false;
}

inline void addModelTexts(std::vector<ShownText>& texts, const QAbstractItemModel& model)
{
    for (int c = 0; c < model.columnCount(); ++c)
        texts.push_back({QStringLiteral("header %1").arg(c), model.headerData(c, Qt::Horizontal).toString()});
    for (int r = 0; r < model.rowCount(); ++r)
        for (int c = 0; c < model.columnCount(); ++c)
            texts.push_back(
                {QStringLiteral("cell %1,%2").arg(r).arg(c), model.index(r, c).data().toString(), true});
}

inline std::vector<ShownText> visibleTexts(const QWidget& window)
{
    std::vector<ShownText> texts{{QStringLiteral("window title"), window.windowTitle()}};
    const auto shown = [&window](const QWidget* widget) { return widget->isVisibleTo(&window); };
    for (const QLabel* label : window.findChildren<QLabel*>())
        if (shown(label))
            texts.push_back({QStringLiteral("QLabel"), label->text()});
    for (const QAbstractButton* button : window.findChildren<QAbstractButton*>())
        if (shown(button))
            texts.push_back({QString::fromLatin1(button->metaObject()->className()), button->text()});
    for (const QGroupBox* group : window.findChildren<QGroupBox*>())
        if (shown(group))
            texts.push_back({QStringLiteral("QGroupBox"), group->title()});
    for (const QComboBox* combo : window.findChildren<QComboBox*>())
        if (shown(combo))
            for (int i = 0; i < combo->count(); ++i)
                texts.push_back({QStringLiteral("combo item %1").arg(i), combo->itemText(i)});
    for (const QLineEdit* edit : window.findChildren<QLineEdit*>())
        if (shown(edit))
            texts.push_back({QStringLiteral("QLineEdit hint"), edit->placeholderText()});
    for (const QAbstractItemView* view : window.findChildren<QAbstractItemView*>())
        if (shown(view) && qobject_cast<const QHeaderView*>(view) == nullptr && view->model() != nullptr)
            addModelTexts(texts, *view->model());
    return texts;
}

// Latin words a Chinese window shows too: names of file formats and verdicts.
inline const QStringList kSameInBothLanguages{
    QStringLiteral("PNG"),  QStringLiteral("CSV"),  QStringLiteral("UTC"),         QStringLiteral("PASS"),
    QStringLiteral("FAIL"), QStringLiteral("LOAD"), QStringLiteral("NOT_MEASURED")};

// The words of two or more Latin letters in the text ("K" of "Window K" is a symbol).
inline QStringList latinWords(const QString& text)
{
    QStringList words;
    QString word;
    for (const QChar c : text + QLatin1Char(' ')) {
        if ((c >= QLatin1Char('a') && c <= QLatin1Char('z')) ||
            (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) || c == QLatin1Char('_')) {
            word += c;
            continue;
        }
        if (word.size() >= 2)
            words << word;
        word.clear();
    }
    return words;
}

// The texts in the wrong language: in English, any text holding a Chinese character; in
// Chinese, any text holding an English word (table cells only when `cellsToo`: other windows'
// cells hold serials and the like).
inline std::vector<ShownText> wrongLanguage(const std::vector<ShownText>& texts, bool english, bool cellsToo)
{
    std::vector<ShownText> wrong;
    for (const ShownText& shown : texts) {
        bool inWrongLanguage = false;
        if (english) {
            inWrongLanguage = holdsCjk(shown.text);
        } else if (!shown.data || cellsToo) {
            for (const QString& word : latinWords(shown.text))
                inWrongLanguage |= !kSameInBothLanguages.contains(word);
        }
        if (inWrongLanguage)
            wrong.push_back(shown);
    }
    return wrong;
}

inline std::string describe(const std::vector<ShownText>& texts)
{
    std::string list;
    for (const ShownText& shown : texts)
        list += "\n  " + shown.where.toStdString() + ": \"" + shown.text.toStdString() + "\"";
    return list;
}

} // namespace test
