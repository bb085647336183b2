#include "logcore/master_calls.h"

#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <algorithm>

namespace zev {

namespace {

bool callChar(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '/';
}

// The text of a suffix up to the end of its call; '\n' sorts below every call character.
int compareSuffix(const char *a, const char *b)
{
    for (;; ++a, ++b) {
        if (*a != *b)
            return *a < *b ? -1 : 1;
        if (*a == '\n')
            return 0;
    }
}

// Whether the suffix at `s` begins with `q`: negative when it sorts before every such
// suffix, positive after, 0 when it begins with it.
int comparePrefix(const char *s, std::string_view q)
{
    for (char c : q) {
        if (*s != c)
            return *s < c ? -1 : 1;
        ++s;
    }
    return 0;
}

}  // namespace

QStringList ParseMasterCalls(const QByteArray &data)
{
    QStringList calls;
    qsizetype from = 0;
    while (from < data.size()) {
        qsizetype end = data.indexOf('\n', from);
        if (end < 0)
            end = data.size();
        const QByteArray line = data.mid(from, end - from).trimmed().toUpper();
        from = end + 1;
        if (line.isEmpty() || line.startsWith('#') || line.size() < 3 || line.size() > 15)
            continue;
        if (line.startsWith('/') || line.endsWith('/') || line.contains("//"))
            continue;
        if (!std::all_of(line.begin(), line.end(), callChar) ||
            !std::any_of(line.begin(), line.end(), [](char c) { return c >= '0' && c <= '9'; }))
            continue;
        calls.append(QString::fromLatin1(line));
    }
    return calls;
}

MasterCalls::MasterCalls(const QStringList &calls)
{
    QStringList sorted = calls;
    sorted.sort();
    sorted.removeDuplicates();
    starts_.reserve(size_t(sorted.size()) + 1);
    for (const QString &c : sorted) {
        starts_.push_back(quint32(text_.size()));
        text_ += c.toLatin1().toStdString();
        text_ += '\n';
    }
    starts_.push_back(quint32(text_.size()));
    for (int i = 0; i < size(); ++i)
        for (quint32 p = starts_[size_t(i)] + 1; p + 1 < starts_[size_t(i) + 1]; ++p)
            suffixes_.push_back(p);
    const char *t = text_.data();
    std::sort(suffixes_.begin(), suffixes_.end(), [t](quint32 a, quint32 b) {
        const int c = compareSuffix(t + a, t + b);
        return c != 0 ? c < 0 : a < b;
    });
    owners_.resize(suffixes_.size());
    for (size_t k = 0; k < suffixes_.size(); ++k)
        owners_[k] = quint32(std::upper_bound(starts_.begin(), starts_.end(), suffixes_[k]) - starts_.begin() - 1);
}

std::string_view MasterCalls::callView(int i) const
{
    return std::string_view(text_).substr(starts_[size_t(i)], starts_[size_t(i) + 1] - starts_[size_t(i)] - 1);
}

QString MasterCalls::call(int i) const
{
    const std::string_view v = callView(i);
    return QString::fromLatin1(v.data(), qsizetype(v.size()));
}

QStringList MasterCalls::find(QStringView text, int cap) const
{
    QStringList out;
    if (text.isEmpty() || cap <= 0 || size() == 0 || text.size() > 15)
        return out;
    std::string q;
    for (QChar ch : text) {
        const char c = char(ch.toUpper().unicode() < 128 ? ch.toUpper().unicode() : 0);
        if (!callChar(c))
            return out;
        q += c;
    }
    const char *t = text_.data();
    // Calls beginning with the text: one run of the sorted calls.
    auto beginsAt = [&](int i) { return comparePrefix(t + starts_[size_t(i)], q); };
    int lo = 0, hi = size();
    while (lo < hi) {
        const int mid = (lo + hi) / 2;
        beginsAt(mid) < 0 ? lo = mid + 1 : hi = mid;
    }
    const int firstPrefix = lo;
    hi = size();
    while (lo < hi) {
        const int mid = (lo + hi) / 2;
        beginsAt(mid) <= 0 ? lo = mid + 1 : hi = mid;
    }
    const int endPrefix = lo;
    for (int i = firstPrefix; i < endPrefix && out.size() < cap; ++i)
        out.append(call(i));
    if (out.size() >= cap)
        return out;
    // The others: one run of the sorted suffixes, taken in call order.
    const auto first = std::partition_point(suffixes_.begin(), suffixes_.end(),
                                            [&](quint32 p) { return comparePrefix(t + p, q) < 0; });
    const auto last = std::partition_point(first, suffixes_.end(),
                                           [&](quint32 p) { return comparePrefix(t + p, q) <= 0; });
    std::vector<quint32> ids;
    ids.reserve(size_t(last - first));
    for (auto it = first; it != last; ++it) {
        const quint32 id = owners_[size_t(it - suffixes_.begin())];
        if (int(id) < firstPrefix || int(id) >= endPrefix)
            ids.push_back(id);
    }
    std::sort(ids.begin(), ids.end());
    ids.erase(std::unique(ids.begin(), ids.end()), ids.end());
    for (size_t k = 0; k < ids.size() && out.size() < cap; ++k)
        out.append(call(int(ids[k])));
    return out;
}

QString MasterCallsFile(const QString &startDir, const QString &systemFile)
{
    const QFileInfo work(startDir + QLatin1Char('/') + kMasterCallsName);
    const QFileInfo system(systemFile);
    const bool haveSystem = !systemFile.isEmpty() && system.isFile();
    if (work.isFile() && (!haveSystem || work.lastModified() > system.lastModified()))
        return work.filePath();
    return haveSystem ? system.filePath() : QString();
}

MasterCallsLoad LoadMasterCalls(const QString &path)
{
    MasterCallsLoad r;
    r.path = path;
    if (path.isEmpty()) {
        r.note = QStringLiteral("No master call list: %1 was not found.").arg(kMasterCallsName);
        return r;
    }
    QFile f(path);
    if (f.size() > kMasterCallsMaxBytes) {
        r.note = QStringLiteral("No master call list: %1 is too large to be one.").arg(path);
        return r;
    }
    if (!f.open(QIODevice::ReadOnly)) {
        r.note = QStringLiteral("No master call list: %1 could not be read (%2).").arg(path, f.errorString());
        return r;
    }
    // A device or pipe reports no size; read no more than a list can hold.
    const QByteArray data = f.read(kMasterCallsMaxBytes + 1);
    if (data.size() > kMasterCallsMaxBytes) {
        r.note = QStringLiteral("No master call list: %1 is too large to be one.").arg(path);
        return r;
    }
    const QStringList calls = ParseMasterCalls(data);
    if (calls.isEmpty()) {
        r.note = QStringLiteral("No master call list: %1 holds no calls.").arg(path);
        return r;
    }
    r.calls = std::make_shared<const MasterCalls>(calls);
    return r;
}

MasterCallsLoader::~MasterCallsLoader()
{
    if (thread_) {
        thread_->wait();
        delete thread_;
    }
}

bool MasterCallsLoader::running() const { return thread_ && !thread_->isFinished(); }

void MasterCallsLoader::start(const QString &path)
{
    if (thread_)
        return;
    auto result = std::make_shared<MasterCallsLoad>();
    thread_ = QThread::create([path, result] { *result = LoadMasterCalls(path); });
    connect(thread_, &QThread::finished, this, [this, result] { emit loaded(*result); });
    thread_->start(QThread::LowPriority);
}

}  // namespace zev
