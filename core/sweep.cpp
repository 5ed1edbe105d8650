#include "sweep.h"

#include "report.h"

#include <atomic>
#include <cmath>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace {

// Values run between two questions to keepGoing, and handed to a thread at a time.
constexpr int kBlock = 8;

bool laysOutAfresh(const QString &name)
{
    static const QStringList names{QStringLiteral("StartE"),
                                   QStringLiteral("DE"),
                                   QStringLiteral("Num"),
                                   QStringLiteral("DX"),
                                   QStringLiteral("DY"),
                                   QStringLiteral("Length"),
                                   QStringLiteral("LatticeC"),
                                   QStringLiteral("RotateAll")};
    return names.contains(name);
}

// A document of the run's own, without undo steps: nobody undoes a sweep.
void startFrom(DesignDocument &doc, const DesignDocument &design)
{
    doc.setKeepsUndoSteps(false);
    doc.copyFrom(design);
}

} // namespace

QVector<double> sweepValues(const Sweep &sweep)
{
    QVector<double> values;
    if (sweep.step == 0.0 || !std::isfinite(sweep.step) || !std::isfinite(sweep.from)
        || !std::isfinite(sweep.to))
        return values;
    const double steps = (sweep.to - sweep.from) / sweep.step;
    if (!(steps >= 0.0) || steps + 1.0 > kMaxSweepValues)
        return values;
    const int count = static_cast<int>(std::floor(steps + 1e-3)) + 1;
    values.reserve(count);
    for (int i = 0; i < count; ++i)
        values.append(sweep.from + i * sweep.step);
    return values;
}

QString sweepValueText(double value)
{
    return QString::number(value, 'g', 15);
}

SweepRun runSweep(const DesignDocument &design,
                  const QString &name,
                  const QStringList &values,
                  int threads,
                  const std::function<bool()> &keepGoing)
{
    SweepRun run;
    for (const QString &v : values) {
        run.error = DesignDocument::check(name, v);
        if (run.error)
            return run;
    }

    const int n = values.size();
    const int blocks = (n + kBlock - 1) / kBlock;
    const int workers = laysOutAfresh(name) ? std::max(1, std::min(threads, blocks)) : 1;
    std::vector<QByteArray> rows(static_cast<size_t>(n));
    std::atomic<bool> stop{false};
    std::atomic<int> nextBlock{0};
    std::mutex failure;
    int failedAt = n;

    // Blocks of values in turn; with one worker, all of them in order on one document.
    const auto work = [&](bool calling) {
        DesignDocument doc;
        startFrom(doc, design);
        while (!stop) {
            if (calling && keepGoing && !keepGoing()) {
                stop = true;
                run.stopped = true;
                break;
            }
            const int b = nextBlock++;
            if (b >= blocks)
                break;
            for (int i = b * kBlock; i < std::min(n, (b + 1) * kBlock) && !stop; ++i) {
                const EditError why = doc.apply(name, values.at(i));
                if (why) {
                    const std::lock_guard<std::mutex> lock(failure);
                    if (i < failedAt) {
                        failedAt = i;
                        run.error = why;
                    }
                    stop = true;
                    break;
                }
                rows[static_cast<size_t>(i)] = sweepRow(doc, values.at(i));
            }
        }
    };
    std::vector<std::thread> others;
    for (int t = 1; t < workers; ++t) {
        try {
            others.emplace_back(work, false);
        } catch (const std::system_error &) {
            break; // no more threads to be had: fewer run it
        }
    }
    work(true);
    for (std::thread &t : others)
        t.join();

    if (!run.error && !run.stopped) {
        run.rows.reserve(n);
        for (QByteArray &row : rows)
            run.rows.append(std::move(row));
    }
    return run;
}
