// The main window over a register of 10,000 airlines on the offscreen platform: how long
// it takes to open and show the grid, to follow one search keystroke, and to run
// "Create all" with all seven tasks.

#include "benchregister.h"
#include "store/registerstore.h"
#include "ui/mainwindow.h"
#include "ui/userprompts.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QSqlQuery>
#include <QTableView>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <vector>

using namespace Qt::StringLiterals;
using namespace tarvex;

namespace {

constexpr int kAirlines = 10000;

// Questions are not asked in these runs; an error stops the benchmark.
class FailingPrompts : public UserPrompts {
public:
    Answer askYesNo(QWidget*, const QString&, const QString&) override { return Answer::No; }
    Answer askYesNoCancel(QWidget*, const QString&, const QString&) override { return Answer::Cancel; }
    void inform(QWidget*, const QString& title, const QString& text) override {
        qFatal("%s: %s", qPrintable(title), qPrintable(text));
    }
    void showError(QWidget*, const QString& text) override { qFatal("%s", qPrintable(text)); }
    void showMessage(QWidget*, const QString& text) override { qFatal("%s", qPrintable(text)); }
    int runDialog(QDialog& dialog) override { qFatal("%s opened", qPrintable(dialog.windowTitle())); }
};

// The bench register with summary texts, as the airline editor leaves them, and every task of Create all.
QString appDir() {
    static const QString folder = [] {
        const QString dir = bench::benchAppDir(kAirlines, kAirlines * 3 / 2);
        RegisterStore data;
        data.open(dir);
        QSqlQuery update(data.connection());
        update.exec(u"UPDATE tbMain SET Commision = '7.5% все рейсы' || char(13) || '500 EUR бизнес' || char(13), "
                    "Fee = '300 руб.' || char(13)"_s);
        QFile options(dir + u"options.ini"_s);
        options.open(QIODevice::WriteOnly);
        options.write("[group]\r\n1=cbSFrmk\r\n2=cbSF\r\n3=cbSKrmk\r\n4=cbSK\r\n5=cbXLrmk\r\n6=cbXL\r\n7=cbCSV\r\n");
        return dir;
    }();
    return folder;
}

void showFully(MainWindow& window) {
    window.show();
    QCoreApplication::processEvents();
    window.findChild<QTableView*>(u"grMain"_s)->viewport()->repaint();
}

void setMilliseconds(benchmark::State& state, std::vector<double> times) {
    std::sort(times.begin(), times.end());
    state.counters["median_ms"] = times[times.size() / 2];
    state.counters["max_ms"] = times.back();
}

using Clock = std::chrono::steady_clock;
double millisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

void BM_OpenWindowWithGrid(benchmark::State& state) {
    const QString dir = appDir();
    FailingPrompts prompts;
    std::vector<double> times;
    for (auto _ : state) {
        const auto start = Clock::now();
        RegisterStore store;
        MainWindow window(dir, store, prompts);
        showFully(window);
        times.push_back(millisecondsSince(start));
        state.PauseTiming(); // closing is not part of it
        window.hide();
        state.ResumeTiming();
    }
    setMilliseconds(state, times);
}
BENCHMARK(BM_OpenWindowWithGrid)->Unit(benchmark::kMillisecond)->Iterations(10);

// One keystroke at a time, typing "su", clearing with Backspace, and again: the box, the
// filter and a repaint of the grid.
void BM_SearchKeystroke(benchmark::State& state) {
    FailingPrompts prompts;
    RegisterStore store;
    MainWindow window(appDir(), store, prompts);
    showFully(window);
    auto* box = window.findChild<QLineEdit*>(u"eSearchBox"_s);
    auto* grid = window.findChild<QTableView*>(u"grMain"_s);
    const QList<QPair<int, QString>> keys = {{Qt::Key_S, u"s"_s}, {Qt::Key_U, u"u"_s}, {Qt::Key_Backspace, {}}};
    std::vector<double> times;
    int next = 0;
    for (auto _ : state) {
        const auto& [key, text] = keys[next++ % keys.size()];
        const auto start = Clock::now();
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
        QCoreApplication::sendEvent(box, &press);
        QCoreApplication::processEvents();
        grid->viewport()->repaint();
        times.push_back(millisecondsSince(start));
    }
    setMilliseconds(state, times);
}
BENCHMARK(BM_SearchKeystroke)->Unit(benchmark::kMillisecond)->Iterations(300);

void BM_CreateAllSevenTasks(benchmark::State& state) {
    FailingPrompts prompts;
    RegisterStore store;
    MainWindow window(appDir(), store, prompts);
    showFully(window);
    QAction* createAll = window.findChild<QAction*>(u"acCreateAll"_s);
    std::vector<double> times;
    for (auto _ : state) {
        const auto start = Clock::now();
        createAll->trigger();
        QCoreApplication::processEvents();
        times.push_back(millisecondsSince(start));
    }
    setMilliseconds(state, times);
}
BENCHMARK(BM_CreateAllSevenTasks)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
