#pragma once
// GraphQSO: the operating rate over the whole log, opened modally from "&Graph".

#include "frame/rate_graph.h"

#include <QColor>
#include <QDialog>
#include <array>

class QLabel;
class QPushButton;

namespace zev {

struct Session;

class RateGraphWindow : public QDialog {
    Q_OBJECT
public:
    explicit RateGraphWindow(Session &session, QWidget *parent = nullptr);

    // Works the graph out from the log again and repaints it; with too few contacts
    // (or no time span or level curve) tells the operator and draws nothing.
    void BuildGraph();

    // Command1: swaps black and white and rebuilds the graph.
    void SwitchBackground();

    bool blackBackground() const { return black_; }
    const RateGraph &graph() const { return graph_; }

    // Text colour of legend label `index` (0 "160" ... 6 "Other").
    static QColor BandColour(int index);

    std::array<QLabel *, kTimeLabels> lblTime{};
    std::array<QLabel *, kTimeLabels> lblDate{};
    std::array<QLabel *, kValueLabels> lblY{};
    std::array<QLabel *, kLegendBands> lblBnd{};
    QPushButton *Command1 = nullptr;
    QWidget *picGraph = nullptr;  // frame, curve and band strip

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void applyColours();
    void placeControls();
    // Shows the computed graph, or tells the operator why there is none.
    void present();

    Session &s_;
    RateGraph graph_;
    bool black_ = true;
};

}  // namespace zev
