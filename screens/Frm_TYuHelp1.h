#pragma once

#include "app/Environment.h"

#include <QWidget>

#include <memory>

class QPushButton;

namespace plw {

// The help window "抽出条件の説明": the picture that explains how the four kinds of a condition
// combine, over the whole window but a strip at the bottom for "閉じる", which hides the window
// (as Esc does). Sizable; centred when first shown, then placed as the installation's wide-screen
// side says.
class Frm_TYuHelp1 final : public QWidget {
public:
    explicit Frm_TYuHelp1(const Environment& environment, QWidget* parent = nullptr);

    // The picture's place: the window's inner width, its inner height less the button strip.
    QRect pictureRect() const;

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void layOut();

    Environment mEnvironment;
    QWidget* mPicture = nullptr;
    QPushButton* mClose = nullptr;
    bool mPlaced = false;
};

// The condition screen's "説明": makes the help window the first time, then shows the same one
// again without blocking.
void ShowHelpWindow(std::unique_ptr<Frm_TYuHelp1>& window, const Environment& environment);

} // namespace plw
