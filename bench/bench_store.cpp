// Prints what saving and loading the longest launch list costs, next to plain file I/O of the
// same bytes: writing them to a file and reading them back.
#include "settings/settingsstore.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char *argv[])
{
    QTemporaryDir home(QDir::currentPath() + QStringLiteral("/store-bench.XXXXXX"));
    qputenv("XDG_CONFIG_HOME", home.path().toUtf8());
    QCoreApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;

    // Two lists of the same size in turns, so that every save has something to write.
    QStringList lists[2];
    for (int i = 1; i <= SettingsStore::MaxEntries; ++i) {
        lists[0].append(QStringLiteral("/usr/local/bin/program-%1 --profile \"work %1\"").arg(i));
        lists[1].append(QStringLiteral("/usr/local/bin/program-%1 --profile \"home %1\"").arg(i));
    }

    std::vector<double> store;
    QStringList loaded;
    for (int round = 0; round < rounds; ++round) {
        const QStringList &entries = lists[round % 2];
        loaded.clear();
        QElapsedTimer clock;
        clock.start();
        const bool saved = SaveLaunchList(entries).ok();
        LoadLaunchList(loaded);
        store.push_back(double(clock.nsecsElapsed()) / 1e6);
        if (!saved || loaded != entries) {
            std::printf("store   FAILED: the list read back differs\n");
            return 1;
        }
    }

    QFile stored(SettingsStore::location());
    if (!stored.open(QIODevice::ReadOnly))
        return 1;
    const QByteArray bytes = stored.readAll();
    const QString plainPath = home.path() + QStringLiteral("/plain.ini");
    std::vector<double> plain;
    for (int round = 0; round < rounds; ++round) {
        QElapsedTimer clock;
        clock.start();
        QFile out(plainPath);
        if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate)
            || out.write(bytes) != bytes.size())
            return 1;
        out.close();
        QFile in(plainPath);
        if (!in.open(QIODevice::ReadOnly) || in.readAll().size() != bytes.size())
            return 1;
        plain.push_back(double(clock.nsecsElapsed()) / 1e6);
    }

    const double s = median(store), p = median(plain);
    std::printf("store   SaveLaunchList+LoadLaunchList, %d entries (%lld bytes): %8.2f ms "
                "(median of %d)\n",
                SettingsStore::MaxEntries, static_cast<long long>(bytes.size()), s, rounds);
    std::printf("store   reference: plain write and read of the same bytes:        %8.2f ms\n", p);
    std::printf("store   ratio %.2fx (goal: at most 5x)\n", s / p);
    return 0;
}
