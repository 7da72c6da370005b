// Account compression over every account set of the catalogue, and the hand-over to the upgrade program.
#pragma once
#include <QString>
#include <QStringList>

namespace zostore::shell {

struct CompressionResult {
    qint64 bytesBefore = 0;
    qint64 bytesAfter = 0;
    QStringList statements; // sent in order, "<database>: <statement>"
};

// Every statement that fails is skipped; an unreachable catalogue ends the run with nothing done.
CompressionResult compressAccountSets(const QString &masterPromptString);

// "12.3 MB" and the like, for the end-of-compression message.
QString formatBytes(qint64 bytes);

// Where the version service and the upgrade program find new program versions:
// ZoStore/AutoUpdateExe/UpdateFolder. The folder holds "<edition>.ver" (the version text) and a folder
// "<edition>" with the new program files.
QString updateFolder();
inline constexpr auto UpgradeEdition = "mkt";
QString upgradeProgramPath();

// Zo_GetIP.GetMaxVer: getmaxver(edition) answers the newest version in the update folder, "" when
// unreachable.
void registerVersionService();

enum class UpgradeOutcome { Stopped, HandedOver };

// The grant has been checked by the caller. HandedOver: the upgrade program runs and the shell must end now.
UpgradeOutcome upgradeProgram();

} // namespace zostore::shell
