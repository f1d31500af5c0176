// The best-lap chart of the module built with the program: one point a session at the start of
// its day, date ticks on whole days, and a lap axis on round figures around the points.
#include <QChart>
#include <QChartView>
#include <QDateTimeAxis>
#include <QScatterSeries>
#include <QTest>
#include <QValueAxis>

#include "chart_module/chart_loader.h"

namespace {

struct Axes {
    QDateTimeAxis* dates;
    QValueAxis* laps;
    QScatterSeries* points;
};

Axes AxesOf(gearsheet::BestLapChart& chart) {
    QChart* c = qobject_cast<QChartView*>(chart.Widget())->chart();
    return {qobject_cast<QDateTimeAxis*>(c->axes(Qt::Horizontal).value(0)),
            qobject_cast<QValueAxis*>(c->axes(Qt::Vertical).value(0)),
            qobject_cast<QScatterSeries*>(c->series().value(1))};
}

}  // namespace

class BestLapChartTest : public QObject {
    Q_OBJECT
  private slots:
    void datesTickOnWholeDaysAndLapsOnRoundFigures_data();
    void datesTickOnWholeDaysAndLapsOnRoundFigures();
};

void BestLapChartTest::datesTickOnWholeDaysAndLapsOnRoundFigures_data() {
    QTest::addColumn<QList<QDate>>("dates");
    QTest::addColumn<QList<double>>("laps");
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::addColumn<int>("ticks");
    QTest::addColumn<double>("fastest");
    QTest::addColumn<double>("slowest");
    // 16 days between the margins: a tick every 3 days, the range widened to 18.
    QTest::newRow("three sessions over two weeks")
        << QList<QDate>{{2026, 11, 23}, {2026, 11, 30}, {2026, 12, 7}}
        << QList<double>{103.912, 102.385, 101.973} << "2026-11-22"
        << "2026-12-10" << 7 << 101.0 << 105.0;
    QTest::newRow("one session") << QList<QDate>{{2026, 12, 7}} << QList<double>{102.385}
                                 << "2026-12-06"
                                 << "2026-12-08" << 3 << 101.0 << 103.0;
    // A spread of 7.3 s: margins of 0.73 s, then round figures.
    QTest::newRow("a season") << QList<QDate>{{2026, 3, 1}, {2026, 9, 30}}
                              << QList<double>{107.3, 100.0} << "2026-02-28"
                              << "2026-10-02" << 7 << 98.0 << 110.0;
}

void BestLapChartTest::datesTickOnWholeDaysAndLapsOnRoundFigures() {
    QFETCH(QList<QDate>, dates);
    QFETCH(QList<double>, laps);
    QWidget parent;
    QString problem;
    gearsheet::BestLapChart* chart =
        gearsheet::CreateBestLapChart(QStringLiteral(PROGRAM_FOLDER), &parent, problem);
    QVERIFY2(chart, qPrintable(problem));
    QList<gearsheet::BestLapPoint> points;
    for (qsizetype i = 0; i < dates.size(); ++i) points.append({dates[i], laps[i], {}});
    chart->Show(QStringLiteral("Brno"), points);

    const Axes axes = AxesOf(*chart);
    QCOMPARE(axes.points->count(), dates.size());
    QCOMPARE(axes.points->at(0).x(), double(dates[0].startOfDay().toMSecsSinceEpoch()));
    const QDateTime from = axes.dates->min();
    const QDateTime to = axes.dates->max();
    QTEST(from.date().toString(Qt::ISODate), "from");
    QTEST(to.date().toString(Qt::ISODate), "to");
    QCOMPARE(from.time(), QTime(0, 0));
    QCOMPARE(to.time(), QTime(0, 0));
    QTEST(axes.dates->tickCount(), "ticks");
    QCOMPARE(from.daysTo(to) % (axes.dates->tickCount() - 1), 0);  // every tick starts a day
    QTEST(axes.laps->min(), "fastest");
    QTEST(axes.laps->max(), "slowest");
}

QTEST_MAIN(BestLapChartTest)
#include "best_lap_chart_test.moc"
