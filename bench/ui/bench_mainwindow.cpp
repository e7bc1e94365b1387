// The main window over registers of 10,000 and 40,000 airlines on the offscreen platform:
// how long it takes to open and show the grid, against opening the store alone, to follow
// one search keystroke, and to run "Create all" with all seven tasks.

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
#include <ctime>
#include <map>
#include <vector>

using namespace Qt::StringLiterals;
using namespace tarvex;

namespace {

constexpr int kAirlines = 10000;
constexpr int kManyAirlines = 40000;

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
    std::optional<QString> askPassword(QWidget*, const QString& title, const QString&) override {
        qFatal("%s asked for a password", qPrintable(title));
    }
};

// The bench register with summary texts, as the airline editor leaves them, and every task of Create all.
QString appDir(int airlines = kAirlines) {
    static std::map<int, QString> folders;
    QString& folder = folders[airlines];
    if (folder.isEmpty()) {
        const QString dir = bench::benchAppDir(airlines, airlines * 3 / 2);
        RegisterStore data;
        data.open(dir);
        QSqlQuery update(data.connection());
        update.exec(u"UPDATE tbMain SET Commision = '7.5% все рейсы' || char(13) || '500 EUR бизнес' || char(13), "
                    "Fee = '300 руб.' || char(13)"_s);
        QFile options(dir + u"options.ini"_s);
        options.open(QIODevice::WriteOnly);
        options.write("[group]\r\n1=cbSFrmk\r\n2=cbSF\r\n3=cbSKrmk\r\n4=cbSK\r\n5=cbXLrmk\r\n6=cbXL\r\n7=cbCSV\r\n");
        folder = dir;
    }
    return folder;
}

void showFully(MainWindow& window) {
    window.show();
    QCoreApplication::processEvents();
    window.findChild<QTableView*>(u"grMain"_s)->viewport()->repaint();
}

// The wall-clock and processor times of the timed steps, reported as medians and maxima, and
// the first step's wall-clock time on its own (a search's first keystroke prepares its texts).
class StepTimes {
public:
    void start() {
        m_wallStart = Clock::now();
        m_cpuStart = std::clock();
    }
    void stop() {
        m_wall.push_back(std::chrono::duration<double, std::milli>(Clock::now() - m_wallStart).count());
        m_cpu.push_back(1000.0 * double(std::clock() - m_cpuStart) / CLOCKS_PER_SEC);
    }
    void report(benchmark::State& state) {
        state.counters["first_ms"] = m_wall.front();
        std::sort(m_wall.begin(), m_wall.end());
        std::sort(m_cpu.begin(), m_cpu.end());
        state.counters["median_ms"] = m_wall[m_wall.size() / 2];
        state.counters["max_ms"] = m_wall.back();
        state.counters["median_cpu_ms"] = m_cpu[m_cpu.size() / 2];
    }

private:
    using Clock = std::chrono::steady_clock;
    Clock::time_point m_wallStart;
    std::clock_t m_cpuStart = 0;
    std::vector<double> m_wall;
    std::vector<double> m_cpu;
};

// The baseline of the window's opening: the store alone over the same register.
void BM_OpenStore(benchmark::State& state) {
    const QString dir = appDir(int(state.range(0)));
    StepTimes times;
    for (auto _ : state) {
        times.start();
        RegisterStore store;
        store.open(dir);
        times.stop();
    }
    times.report(state);
}
BENCHMARK(BM_OpenStore)->Arg(kAirlines)->Arg(kManyAirlines)->Unit(benchmark::kMillisecond)->Iterations(10);

void BM_OpenWindowWithGrid(benchmark::State& state) {
    const QString dir = appDir(int(state.range(0)));
    FailingPrompts prompts;
    StepTimes times;
    for (auto _ : state) {
        times.start();
        RegisterStore store;
        MainWindow window(dir, store, prompts);
        showFully(window);
        times.stop();
        state.PauseTiming(); // closing is not part of it
        window.hide();
        state.ResumeTiming();
    }
    times.report(state);
}
BENCHMARK(BM_OpenWindowWithGrid)->Arg(kAirlines)->Arg(kManyAirlines)->Unit(benchmark::kMillisecond)->Iterations(10);

// One keystroke at a time, typing "su", clearing with Backspace, and again: the box, the
// filter and a repaint of the grid.
void BM_SearchKeystroke(benchmark::State& state) {
    FailingPrompts prompts;
    RegisterStore store;
    MainWindow window(appDir(int(state.range(0))), store, prompts);
    showFully(window);
    auto* box = window.findChild<QLineEdit*>(u"eSearchBox"_s);
    auto* grid = window.findChild<QTableView*>(u"grMain"_s);
    const QList<QPair<int, QString>> keys = {{Qt::Key_S, u"s"_s}, {Qt::Key_U, u"u"_s}, {Qt::Key_Backspace, {}}};
    StepTimes times;
    int next = 0;
    for (auto _ : state) {
        const auto& [key, text] = keys[next++ % keys.size()];
        times.start();
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
        QCoreApplication::sendEvent(box, &press);
        QCoreApplication::processEvents();
        grid->viewport()->repaint();
        times.stop();
    }
    times.report(state);
}
BENCHMARK(BM_SearchKeystroke)->Arg(kAirlines)->Arg(kManyAirlines)->Unit(benchmark::kMillisecond)->Iterations(300);

void BM_CreateAllSevenTasks(benchmark::State& state) {
    FailingPrompts prompts;
    RegisterStore store;
    MainWindow window(appDir(), store, prompts);
    showFully(window);
    QAction* createAll = window.findChild<QAction*>(u"acCreateAll"_s);
    StepTimes times;
    for (auto _ : state) {
        times.start();
        createAll->trigger();
        QCoreApplication::processEvents();
        times.stop();
    }
    times.report(state);
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
