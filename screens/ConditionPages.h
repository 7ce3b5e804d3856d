#pragma once

#include "extract/ConditionScreenState.h"

#include <QList>
#include <QString>

#include <array>

class QGridLayout;
class QGroupBox;
class QLabel;
class QPushButton;
class QSlider;
class QTabWidget;
class QWidget;

namespace plw {

class TextField;
class UpDownButtons;

// The seven tab pages of the condition screen: every condition's frame with its option group of
// the four kinds (opt... _1 to _4) and its value controls, named as the screen names them. The
// pages only lay the controls out; FRM_DMSentk1 binds them to the condition module.
class ConditionPages {
public:
    explicit ConditionPages(QTabWidget* tabs);

    // The controls the refresh enables and disables with the condition's values.
    const QList<QWidget*>& valueControls(Cond::Id condition) const {
        return mValues[static_cast<size_t>(condition)];
    }

    // A number box with its slider and up-down: the slider's range is the box's range.
    struct SliderBox {
        TextField* Box;
        QSlider* Slider;
        UpDownButtons* UpDown;
    };
    const QList<SliderBox>& sliderBoxes() const { return mSliders; }

    // The era forms of the birth dates, beside imdTosTan_F and imdTosTan_T.
    QLabel* eraFrom() const { return mEraFrom; }
    QLabel* eraTo() const { return mEraTo; }
    // Says that the last-visit period is set on the parameter screen.
    QLabel* periodNote() const { return mPeriodNote; }

private:
    struct Frame {
        QGroupBox* Box;
        QGridLayout* Values;
    };
    Frame frame(Cond::Id condition, const QString& caption, QWidget* page,
                bool stackedKinds = false);
    template <typename W> W* value(Cond::Id condition, W* control) {
        mValues[static_cast<size_t>(condition)].append(control);
        return control;
    }
    TextField* textBox(Cond::Id condition, const QString& name, int maxLength, int widthChars,
                       QWidget* parent);
    QPushButton* button(Cond::Id condition, const QString& name, const QString& caption,
                        QWidget* parent);
    QSlider* slider(Cond::Id condition, const QString& name, int minimum, int maximum,
                    QWidget* parent);
    // A box with its up-down and slider; the slider goes into the grid at column sliderColumn.
    TextField* sliderBox(Cond::Id condition, const QString& stem, int maxLength, int minimum,
                         int maximum, QGridLayout* grid, int row, int boxColumn, int sliderColumn);
    // The two rows of a range with Min and Max: txt + stem + "_F" / "_T" and their units.
    void rangeRows(const Frame& f, Cond::Id condition, const QString& stem, int maxLength,
                   const QString& fromUnit, const QString& toUnit);
    // Dates, five preset buttons, and the months with "日付設定".
    void periodRows(const Frame& f, Cond::Id condition, const QString& fromName,
                    const QString& toName, const std::array<const char16_t*, 5>& presets,
                    const QString& monthsStem, const QString& setButton);
    // Months since a last mailing: the box with up-down and slider, "ヵ月以上経過".
    void monthsSinceRow(const Frame& f, Cond::Id condition, const QString& stem);

    QWidget* basicPage(QWidget* parent);
    QWidget* agePage(QWidget* parent);
    QWidget* pointPage(QWidget* parent);
    QWidget* directMailPage(QWidget* parent);
    QWidget* mailPage(QWidget* parent);
    QWidget* memoPage(QWidget* parent);
    QWidget* classificationPage(QWidget* parent);

    std::array<QList<QWidget*>, Cond::Count> mValues;
    QList<SliderBox> mSliders;
    QLabel* mEraFrom = nullptr;
    QLabel* mEraTo = nullptr;
    QLabel* mPeriodNote = nullptr;
};

} // namespace plw
