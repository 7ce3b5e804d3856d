#pragma once

// The whole-run benchmark's peer, bench/rfm_peer.py: the same analysis done with pandas and
// openpyxl, started as a child process on the same installation and settings.

#include <QJsonObject>
#include <QString>

#include <array>

namespace plw {
struct Session;
}

namespace plw::bench {

// The counts an analysis ends with: customers extracted, scored into each group (A to E, X).
struct AnalysisCounts {
    qint64 Extracted = 0;
    std::array<qint64, 6> Groups{};

    bool operator==(const AnalysisCounts&) const = default;
    QString toString() const; // "143210 extracted, groups 1 2 3 4 5 6"
};

// The settings of the session's next analysis as the peer takes them. Throws std::runtime_error
// for settings the peer does not reproduce: any extraction condition but the last-visit period
// with both days given, or a detailed purchase period.
QJsonObject PeerSettings(Session& session);

struct PeerRun {
    AnalysisCounts Counts;
    qint64 Listed = 0;
    // The peer's own split: "import 0.61 read 1.20 score 0.08 list 0.05 format 3.1 write 12.3".
    QString Times;
};

// Runs the peer on the transaction database of the installation in dir with settings (written
// to dir first), its list written into dir. Throws std::runtime_error when it fails.
PeerRun RunPeer(const QString& dir, const QJsonObject& settings);

} // namespace plw::bench
