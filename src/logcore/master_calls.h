#pragma once
// The master call list (MASTER.SCP): calls active in contests, searched for every call
// that contains what has been typed so far.

#include <QObject>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <memory>
#include <string>
#include <vector>

class QThread;

namespace zev {

inline const QString kSystemMasterCalls = QStringLiteral("/usr/share/hamradio-files/MASTER.SCP");
inline const QString kMasterCallsName = QStringLiteral("MASTER.SCP");
// A real list is about half a megabyte; anything far larger is not one.
inline constexpr qint64 kMasterCallsMaxBytes = 16 * 1024 * 1024;

// The calls of a file's text: comments ("#") and blank lines skipped, upper-cased, and
// only lines that look like a call kept (3 to 15 of A-Z, 0-9 and "/", with a digit).
QStringList ParseMasterCalls(const QByteArray &data);

class MasterCalls {
public:
    MasterCalls() = default;
    explicit MasterCalls(const QStringList &calls);

    int size() const { return int(starts_.empty() ? 0 : starts_.size() - 1); }
    QString call(int i) const;
    // Calls containing `text` (ignoring case), at most `cap`: those beginning with it
    // first, then the others, each group in alphabetical order.
    QStringList find(QStringView text, int cap) const;

private:
    std::string_view callView(int i) const;
    std::string text_;                 // the sorted calls, each followed by '\n'
    std::vector<quint32> starts_;      // where call i begins; one more for the end
    std::vector<quint32> suffixes_;    // positions inside calls (not at their first
                                       // character), sorted by the text up to the call's end
    std::vector<quint32> owners_;      // the call each of suffixes_ lies in
};

// The file to read: the system's list, unless the working folder holds a newer one.
// Empty when neither exists.
QString MasterCallsFile(const QString &startDir, const QString &systemFile);

struct MasterCallsLoad {
    std::shared_ptr<const MasterCalls> calls;  // null when nothing could be read
    QString path;
    QString note;  // why there is no list, for the operator
};

// Reads and indexes a list; never fails by more than an empty result and a note.
MasterCallsLoad LoadMasterCalls(const QString &path);

// Reads the list on a thread of its own and hands it over on this object's thread.
class MasterCallsLoader : public QObject {
    Q_OBJECT
public:
    explicit MasterCallsLoader(QObject *parent = nullptr) : QObject(parent) {}
    ~MasterCallsLoader() override;
    void start(const QString &path);
    bool running() const;

signals:
    void loaded(const zev::MasterCallsLoad &result);

private:
    QThread *thread_ = nullptr;
};

}  // namespace zev
