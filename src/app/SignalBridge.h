#pragma once

#include <QObject>

class QSocketNotifier;
class QWidget;

// Turns SIGTERM and SIGINT into a Qt signal on the GUI thread (the handler only writes a byte
// to a socket pair), so the station closes through its ordinary close sequence.
class SignalBridge : public QObject {
    Q_OBJECT
public:
    explicit SignalBridge(QObject* parent = nullptr);
    ~SignalBridge() override;

signals:
    void terminationRequested();

private:
    static void handle(int signal);
    QSocketNotifier* notifier_ = nullptr;
};

// Closes the station's main window when termination is requested, dismissing any modal dialog
// that waits for the operator first.
void closeOnTermination(const SignalBridge& bridge, QWidget& window);
