#include "collection/CollectionIndex.h"

#include <sqlite3.h>

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "collection/Sqlite.h"
#include "collection/Wildcard.h"

namespace qv {
namespace {

// Schema version 2.
//
// images     one row per image file. disk_name, disk_id and dos_version are the raw
//            PETSCII bytes of the header; the *_text columns their display text in
//            the Upper/Graphics (and _ul: Upper/Lower) character set, UTF-8. mtime is
//            in nanoseconds of the file clock; dos_type 0 marks an image that could not
//            be used (then it has no entries and hash is NULL). hash: 16 bytes of
//            XXH3-128 over the header fields and every entry's type, name, block count,
//            content hash and GEOS info block, in directory order, so that the
//            placement of blocks, unused blocks and error bytes do not count.
//            Its entries have the ids first_entry .. first_entry + entry_count - 1.
// entries    one row per listed directory entry, position from 0 in listing order.
//            name: the 16 raw bytes; name_text / name_text_ul: between the quotes in
//            either character set; line: the entry line as a listing shows it.
//            content_length and content_hash (XXH3-128) cover exactly the bytes the
//            file's chain delivers; for a GEOS VLIR file the records in index order,
//            each framed by its 4-byte length (all ones for an absent record).
//            chain_blocks counts the blocks of every chain plus the info block;
//            chain_sound is 0 when a chain loops, breaks, or shares a block.
// image_keys one row per image (image_id is its id, first_entry its first entry's):
//            the case-folded texts a search matches, as one text of records, each
//            ended by 0x1E, their fields parted by 0x1F: first the disk's (name in
//            either character set, id; an empty record for an image that could not
//            be used), then one per entry in id order (name in either character set,
//            GEOS class). A search reads this narrow table alone, skips the images
//            whose text lacks the pattern's plain part, and looks up only what matched.
// problems   what an image holds that is not as it should be: kind ("loop",
//            "bad link", "crosslink", "block count", "directory loop", "file limit",
//            "unsupported size"), the entry position (-1: the disk), the block, a text.
//
// An update writes through a write-ahead log with synchronous=NORMAL: a commit costs
// no wait for the disk, and a process killed at any moment still leaves the
// committed batches (the log is replayed when the index is next opened). When the
// writer closes, the index returns to a plain rollback journal, so that at rest it is
// one file that can also be read from read-only media.
const char* const kSchema = R"(
CREATE TABLE images(
    id INTEGER PRIMARY KEY,
    path TEXT NOT NULL UNIQUE,
    size INTEGER NOT NULL,
    mtime INTEGER NOT NULL,
    dos_type INTEGER NOT NULL,
    tracks INTEGER NOT NULL,
    error_info INTEGER NOT NULL,
    geos_disk INTEGER NOT NULL,
    disk_name BLOB NOT NULL,
    disk_id BLOB NOT NULL,
    dos_version BLOB NOT NULL,
    disk_name_text TEXT NOT NULL,
    disk_name_text_ul TEXT NOT NULL,
    disk_id_text TEXT NOT NULL,
    header_line TEXT NOT NULL,
    blocks_free INTEGER NOT NULL,
    directory_end TEXT NOT NULL,
    hash BLOB,
    first_entry INTEGER NOT NULL,
    entry_count INTEGER NOT NULL);
CREATE INDEX images_hash ON images(hash);
CREATE TABLE entries(
    id INTEGER PRIMARY KEY,
    image_id INTEGER NOT NULL,
    position INTEGER NOT NULL,
    slot_offset INTEGER NOT NULL,
    name BLOB NOT NULL,
    name_text TEXT NOT NULL,
    name_text_ul TEXT NOT NULL,
    line TEXT NOT NULL,
    type_byte INTEGER NOT NULL,
    type_text TEXT NOT NULL,
    file_type INTEGER NOT NULL,
    closed INTEGER NOT NULL,
    locked INTEGER NOT NULL,
    blocks INTEGER NOT NULL,
    first_track INTEGER NOT NULL,
    first_sector INTEGER NOT NULL,
    geos_class TEXT,
    geos_type INTEGER,
    content_length INTEGER NOT NULL,
    content_hash BLOB NOT NULL,
    chain_blocks INTEGER NOT NULL,
    chain_sound INTEGER NOT NULL);
CREATE TABLE image_keys(
    image_id INTEGER PRIMARY KEY,
    first_entry INTEGER NOT NULL,
    keys TEXT NOT NULL);
CREATE TABLE problems(
    id INTEGER PRIMARY KEY,
    image_id INTEGER NOT NULL,
    entry INTEGER NOT NULL,
    kind TEXT NOT NULL,
    track INTEGER NOT NULL,
    sector INTEGER NOT NULL,
    detail TEXT NOT NULL);
CREATE INDEX problems_image ON problems(image_id);
)";

std::string quoted(const std::string& file) {
    return "'" + file + "'";
}

constexpr char kRecordEnd = '\x1e';
constexpr char kFieldEnd = '\x1f';

// Appends the case-folded text; the two separators, should a name hold them, become
// blanks.
void appendKey(std::string& keys, std::string_view text) {
    for (char c : text) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
        else if (c == kRecordEnd || c == kFieldEnd)
            c = ' ';
        keys += c;
    }
}

// The three fields of a record; false when it has fewer.
bool splitRecord(std::string_view record, std::string_view (&fields)[3]) {
    for (int f = 0; f < 2; ++f) {
        const std::size_t end = record.find(kFieldEnd);
        if (end == std::string_view::npos)
            return false;
        fields[f] = record.substr(0, end);
        record.remove_prefix(end + 1);
    }
    fields[2] = record;
    return true;
}

std::string hexOf(const std::string& blob) {
    ContentHash h;
    std::copy_n(blob.begin(), std::min(blob.size(), h.bytes.size()), h.bytes.begin());
    return h.hex();
}

}  // namespace

struct CollectionIndex::Writes {
    sql::Statement image, nextEntry, entry, keys, problem, find, dropImage, dropEntries, dropKeys,
        dropProblems;
    std::string keyText;  // the image's keys, built anew for each
};

std::unique_ptr<CollectionIndex> CollectionIndex::open(const std::string& file, Access access,
                                                       std::string& error, int busyMs) {
    std::error_code ec;
    const bool exists = std::filesystem::exists(file, ec);
    if (!exists && access == Access::Read) {
        error = quoted(file) + ": no such collection index";
        return nullptr;
    }
    if (exists && !std::filesystem::is_regular_file(file, ec)) {
        error = quoted(file) + ": not a file";
        return nullptr;
    }
    std::unique_ptr<CollectionIndex> index(new CollectionIndex());
    index->file_ = file;
    // A reader opens for writing too when it may: a run killed mid-batch leaves a journal
    // that only a writable connection can roll back. The reader itself writes nothing.
    const int flags = exists ? SQLITE_OPEN_READWRITE : SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;
    int rc = sqlite3_open_v2(file.c_str(), &index->db_, flags | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc == SQLITE_OK && access == Access::Read && sqlite3_db_readonly(index->db_, "main") == 1)
        rc = SQLITE_READONLY;  // opened read-only anyway: say so below only for updates
    if (rc != SQLITE_OK && access == Access::Read) {
        sqlite3_close(index->db_);
        index->db_ = nullptr;
        rc = sqlite3_open_v2(file.c_str(), &index->db_, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX,
                             nullptr);
    }
    if (rc != SQLITE_OK) {
        error = quoted(file) + ": cannot open: " + (index->db_ ? sql::lastError(index->db_) : "");
        return nullptr;
    }
    sqlite3_busy_timeout(index->db_, busyMs);
    sqlite3_extended_result_codes(index->db_, 0);
    if (access == Access::Update && sqlite3_db_readonly(index->db_, "main") == 1) {
        error = quoted(file) + ": the index is read-only; it cannot be updated";
        return nullptr;
    }

    sql::Statement probe(index->db_,
                         "SELECT (SELECT application_id FROM pragma_application_id),"
                         " (SELECT user_version FROM pragma_user_version),"
                         " (SELECT count(*) FROM sqlite_master)");
    const bool row = probe.step();
    rc = probe.valid() ? probe.result() : sqlite3_errcode(index->db_);
    if (!row) {
        if (rc == SQLITE_NOTADB)
            error = quoted(file) + ": not a collection index (not an SQLite database)";
        else if (rc == SQLITE_BUSY || rc == SQLITE_LOCKED)
            error = quoted(file) + ": the index is locked by another process; try again later";
        else
            error = quoted(file) + ": cannot read the index: " + sql::lastError(index->db_);
        return nullptr;
    }
    const std::int64_t appId = probe.integer(0);
    const std::int64_t version = probe.integer(1);
    const std::int64_t objects = probe.integer(2);
    probe = {};
    if (appId == 0 && version == 0 && objects == 0) {
        if (access == Access::Read) {
            error = quoted(file) + ": the index is empty; run an update first";
            return nullptr;
        }
        std::string e;
        // Larger pages: a collection's index holds hundreds of thousands of rows, and a
        // batch then costs a quarter of the page writes (and less b-tree work) than
        // with the default 4 KiB pages. Only an empty database takes it; it changes no
        // row. (The new, empty index stays small, 128 KiB.)
        sql::exec(index->db_, "PRAGMA page_size = 16384");
        if (!index->begin(e)) {
            error = quoted(file) + ": " + e;
            return nullptr;
        }
        const std::string pragmas =
            "PRAGMA application_id = " + std::to_string(kIndexApplicationId) +
            "; PRAGMA user_version = " + std::to_string(kIndexSchemaVersion);
        if (!sql::exec(index->db_, kSchema, &e) || !sql::exec(index->db_, pragmas.c_str(), &e) ||
            !index->commit(e)) {
            index->rollback();
            error = quoted(file) + ": cannot create the index: " + e;
            return nullptr;
        }
    } else if (appId != kIndexApplicationId) {
        error = quoted(file) + ": not a collection index (an SQLite database of another program)";
        return nullptr;
    } else if (version != kIndexSchemaVersion) {
        error = quoted(file) + ": the index has schema version " + std::to_string(version) +
                "; this program reads version " + std::to_string(kIndexSchemaVersion) +
                ". Build a new index in another file";
        return nullptr;
    }
    if (access == Access::Update) {
        // Where the log cannot be had (another process reads just now) the rollback
        // journal stays: slower, just as safe.
        sql::exec(index->db_, "PRAGMA journal_mode = WAL");
        sql::exec(index->db_, "PRAGMA synchronous = NORMAL");
        // A batch of images dirties more pages than the default cache holds; with room
        // for them (32 MiB) the batch is written once, at its commit, not spilled on the
        // way.
        sql::exec(index->db_, "PRAGMA cache_size = -32768");
        index->writer_ = true;
    }
    return index;
}

CollectionIndex::~CollectionIndex() {
    writes_.reset();
    // Back to one file at rest; with other readers present the log simply stays.
    if (writer_ && sqlite3_get_autocommit(db_))
        sql::exec(db_, "PRAGMA journal_mode = DELETE");
    sqlite3_close(db_);
}

bool CollectionIndex::begin(std::string& error) {
    if (sql::exec(db_, "BEGIN IMMEDIATE", &error))
        return true;
    if (sqlite3_errcode(db_) == SQLITE_BUSY)
        error = "the index is locked by another process; try again later";
    return false;
}

bool CollectionIndex::commit(std::string& error) {
    if (sql::exec(db_, "COMMIT", &error))
        return true;
    rollback();
    return false;
}

void CollectionIndex::rollback() {
    sql::exec(db_, "ROLLBACK");
}

bool CollectionIndex::prepareWrites(std::string& error) {
    if (writes_)
        return true;
    auto w = std::make_unique<Writes>();
    w->image = sql::Statement(
        db_,
        "INSERT INTO images(path, size, mtime, dos_type, tracks, error_info, geos_disk, disk_name,"
        " disk_id, dos_version, disk_name_text, disk_name_text_ul, disk_id_text, header_line,"
        " blocks_free, directory_end, hash, first_entry, entry_count)"
        " VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13, ?14, ?15, ?16, ?17, ?18,"
        " ?19)");
    w->nextEntry = sql::Statement(db_, "SELECT ifnull(max(id), 0) + 1 FROM entries");
    w->entry = sql::Statement(
        db_,
        "INSERT INTO entries(id, image_id, position, slot_offset, name, name_text, name_text_ul,"
        " line, type_byte, type_text, file_type, closed, locked, blocks, first_track,"
        " first_sector, geos_class, geos_type, content_length, content_hash, chain_blocks,"
        " chain_sound)"
        " VALUES(?22, ?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13, ?14, ?15, ?16, ?17,"
        " ?18, ?19, ?20, ?21)");
    w->keys = sql::Statement(
        db_, "INSERT INTO image_keys(image_id, first_entry, keys) VALUES(?1, ?2, ?3)");
    w->problem = sql::Statement(db_,
                                "INSERT INTO problems(image_id, entry, kind, track, sector, detail)"
                                " VALUES(?1, ?2, ?3, ?4, ?5, ?6)");
    w->find = sql::Statement(db_, "SELECT id FROM images WHERE path = ?1");
    w->dropImage = sql::Statement(db_, "DELETE FROM images WHERE id = ?1");
    w->dropEntries = sql::Statement(
        db_,
        "DELETE FROM entries WHERE id BETWEEN (SELECT first_entry FROM images WHERE id = ?1)"
        " AND (SELECT first_entry + entry_count - 1 FROM images WHERE id = ?1)");
    w->dropKeys = sql::Statement(db_, "DELETE FROM image_keys WHERE image_id = ?1");
    w->dropProblems = sql::Statement(db_, "DELETE FROM problems WHERE image_id = ?1");
    for (const sql::Statement* s :
         {&w->image, &w->nextEntry, &w->entry, &w->keys, &w->problem, &w->find, &w->dropImage,
          &w->dropEntries, &w->dropKeys, &w->dropProblems}) {
        if (!s->valid()) {
            error = sql::lastError(db_);
            return false;
        }
    }
    writes_ = std::move(w);
    return true;
}

std::unordered_map<std::string, KnownImage> CollectionIndex::knownImages() const {
    std::unordered_map<std::string, KnownImage> known;
    sql::Statement s(db_, "SELECT path, id, size, mtime FROM images");
    while (s.step())
        known[s.text(0)] = {s.integer(1), {s.integer(2), s.integer(3)}};
    return known;
}

bool CollectionIndex::remove(std::int64_t id, std::string& error) {
    if (!prepareWrites(error))
        return false;
    Writes& w = *writes_;
    // Entries first: their range is read from the image row.
    for (sql::Statement* s : {&w.dropEntries, &w.dropKeys, &w.dropProblems, &w.dropImage}) {
        s->bind(1, id);
        s->step();
        const int rc = s->result();
        s->reset();
        if (rc != SQLITE_DONE) {
            error = sql::lastError(db_);
            return false;
        }
    }
    return true;
}

bool CollectionIndex::store(const ScannedImage& m, std::string& error) {
    if (!prepareWrites(error))
        return false;
    Writes& w = *writes_;
    w.find.bind(1, m.path);
    if (w.find.step()) {
        const std::int64_t old = w.find.integer(0);
        w.find.reset();
        if (!remove(old, error))
            return false;
    } else {
        w.find.reset();
    }
    // Every statement below has all its parameters bound for each row.
    const auto done = [&](sql::Statement& s) {
        s.step();
        const int rc = s.result();
        s.rewind();
        if (rc != SQLITE_DONE)
            error = sql::lastError(db_);
        return rc == SQLITE_DONE;
    };
    if (!w.nextEntry.step()) {
        error = sql::lastError(db_);
        w.nextEntry.reset();
        return false;
    }
    const std::int64_t firstEntry = w.nextEntry.integer(0);
    w.nextEntry.reset();
    // Texts and bytes are bound where they lie: m outlives every step below.
    sql::Statement& i = w.image;
    i.bindRef(1, m.path).bind(2, m.stamp.size).bind(3, m.stamp.mtime).bind(4, m.dosType);
    i.bind(5, m.tracks).bind(6, m.errorInfo ? 1 : 0).bind(7, m.geosDisk ? 1 : 0);
    i.bindBlobRef(8, m.diskName).bindBlobRef(9, m.diskId).bindBlobRef(10, m.dosVersion);
    i.bindRef(11, m.diskNameText).bindRef(12, m.diskNameTextUl).bindRef(13, m.diskIdText);
    i.bindRef(14, m.headerLine).bind(15, m.blocksFree).bindRef(16, m.directoryEnd);
    if (m.hash)
        i.bindBlobRef(17, m.hash->bytes);
    else
        i.bindNull(17);
    i.bind(18, firstEntry).bind(19, static_cast<std::int64_t>(m.entries.size()));
    if (!done(i))
        return false;
    const std::int64_t imageId = sqlite3_last_insert_rowid(db_);

    std::string& keys = w.keyText;
    keys.clear();
    if (m.dosType != 0) {
        appendKey(keys, m.diskNameText);
        keys += kFieldEnd;
        appendKey(keys, m.diskNameTextUl);
        keys += kFieldEnd;
        appendKey(keys, m.diskIdText);
    }
    keys += kRecordEnd;
    std::int64_t id = firstEntry;
    for (const ScannedEntry& e : m.entries) {
        sql::Statement& s = w.entry;
        s.bind(1, imageId).bind(2, e.position).bind(3, e.slotOffset).bindBlobRef(4, e.name);
        s.bindRef(5, e.nameText).bindRef(6, e.nameTextUl).bindRef(7, e.line).bind(8, e.typeByte);
        s.bindRef(9, e.typeText).bind(10, e.typeByte & 7).bind(11, (e.typeByte & 0x80) ? 1 : 0);
        s.bind(12, (e.typeByte & 0x40) ? 1 : 0).bind(13, e.blocks).bind(14, e.firstBlock.track);
        s.bind(15, e.firstBlock.sector);
        if (e.hasInfoBlock) {
            s.bindRef(16, e.geosClass).bind(17, e.geosType);
        } else {
            s.bindNull(16).bindNull(17);
        }
        s.bind(18, e.contentLength).bindBlobRef(19, e.contentHash.bytes).bind(20, e.chainBlocks);
        s.bind(21, e.chainSound ? 1 : 0).bind(22, id++);
        if (!done(s))
            return false;
        appendKey(keys, e.nameText);
        keys += kFieldEnd;
        appendKey(keys, e.nameTextUl);
        keys += kFieldEnd;
        appendKey(keys, e.geosClass);
        keys += kRecordEnd;
    }
    w.keys.bind(1, imageId).bind(2, firstEntry).bindRef(3, keys);
    if (!done(w.keys))
        return false;
    for (const ScanProblem& p : m.problems) {
        sql::Statement& s = w.problem;
        s.bind(1, imageId).bind(2, p.entry).bindRef(3, p.kind).bind(4, p.at.track);
        s.bind(5, p.at.sector).bindRef(6, p.detail);
        if (!done(s))
            return false;
    }
    return true;
}

IndexCounts CollectionIndex::counts() const {
    IndexCounts c;
    sql::Statement s(db_,
                     "SELECT (SELECT count(*) FROM images), (SELECT count(*) FROM entries),"
                     " (SELECT count(*) FROM problems)");
    if (s.step())
        c = {s.integer(0), s.integer(1), s.integer(2)};
    return c;
}

std::vector<SearchHit> CollectionIndex::search(const std::string& pattern) const {
    // One narrow table read in order: an image whose keys lack the pattern's plain
    // part is passed over at once, the others are matched record by record with the
    // same rules the texts were folded for. Only the matches are looked up.
    const std::string required = requiredText(pattern);
    struct Match {
        std::int64_t id;  // of the entry, or of the image for a disk's name or id
        const char* field;
    };
    std::vector<Match> entryMatches, diskMatches;
    sql::Statement keys(db_, "SELECT image_id, first_entry, keys FROM image_keys");
    while (keys.step()) {
        const std::int64_t image = keys.integer(0);
        const std::int64_t firstEntry = keys.integer(1);
        const std::string_view all = keys.textView(2);
        if (!required.empty() && all.find(required) == std::string_view::npos)
            continue;
        std::int64_t record = -1;  // the disk's, then the entries' from 0
        for (std::size_t at = 0; at < all.size(); ++record) {
            std::size_t end = all.find(kRecordEnd, at);
            if (end == std::string_view::npos)
                end = all.size();
            const std::string_view text = all.substr(at, end - at);
            at = end + 1;
            std::string_view f[3];
            if ((!required.empty() && text.find(required) == std::string_view::npos) ||
                !splitRecord(text, f))
                continue;
            const bool name = wildcardMatch(pattern, f[0]) || wildcardMatch(pattern, f[1]);
            if (record < 0) {
                if (name)
                    diskMatches.push_back({image, "disk name"});
                else if (wildcardMatch(pattern, f[2]))
                    diskMatches.push_back({image, "disk id"});
            } else if (name) {
                entryMatches.push_back({firstEntry + record, "name"});
            } else if (!f[2].empty() && wildcardMatch(pattern, f[2])) {
                entryMatches.push_back({firstEntry + record, "class"});
            }
        }
    }
    std::vector<SearchHit> hits;
    sql::Statement entry(db_,
                         "SELECT i.path, e.position, e.line, e.name_text, e.type_text, e.blocks,"
                         " ifnull(e.geos_class, '') FROM entries e JOIN images i"
                         " ON i.id = e.image_id WHERE e.id = ?1");
    for (const Match& m : entryMatches) {
        entry.bind(1, m.id);
        if (entry.step()) {
            hits.push_back({entry.text(0), m.field, static_cast<int>(entry.integer(1)),
                            entry.text(2), entry.text(3), entry.text(4),
                            static_cast<int>(entry.integer(5)), entry.text(6)});
        }
        entry.reset();
    }
    sql::Statement disk(db_, "SELECT path, header_line, disk_name_text FROM images WHERE id = ?1");
    for (const Match& m : diskMatches) {
        disk.bind(1, m.id);
        if (disk.step())
            hits.push_back({disk.text(0), m.field, -1, disk.text(1), disk.text(2), "", 0, ""});
        disk.reset();
    }
    std::stable_sort(hits.begin(), hits.end(), [](const SearchHit& x, const SearchHit& y) {
        return x.path != y.path ? x.path < y.path : x.entry < y.entry;
    });
    return hits;
}

DupeReport CollectionIndex::dupes(int minBlocks) const {
    DupeReport report;
    sql::Statement groups(db_,
                          "SELECT hash, entry_count, path FROM images WHERE hash IN"
                          " (SELECT hash FROM images WHERE hash IS NOT NULL GROUP BY hash"
                          "  HAVING count(*) > 1) ORDER BY hash, path");
    while (groups.step()) {
        const std::string hash = hexOf(groups.blob(0));
        if (report.images.empty() || report.images.back().hash != hash)
            report.images.push_back({hash, static_cast<int>(groups.integer(1)), {}});
        report.images.back().paths.push_back(groups.text(2));
    }
    std::stable_sort(report.images.begin(), report.images.end(),
                     [](const ImageGroup& a, const ImageGroup& b) {
                         return a.paths.size() != b.paths.size() ? a.paths.size() > b.paths.size()
                                                                 : a.entries > b.entries;
                     });

    sql::Statement files(
        db_,
        "SELECT e.content_hash, e.content_length, e.chain_blocks, i.path, e.position, e.line"
        " FROM entries e JOIN images i ON i.id = e.image_id WHERE e.content_hash IN"
        " (SELECT content_hash FROM entries WHERE content_length > 0 AND chain_blocks >= ?1"
        "  GROUP BY content_hash HAVING count(DISTINCT image_id) > 1)"
        " AND e.chain_blocks >= ?1"
        " ORDER BY e.content_length DESC, e.content_hash, i.path, e.position");
    files.bind(1, minBlocks);
    while (files.step()) {
        const std::string hash = hexOf(files.blob(0));
        if (report.files.empty() || report.files.back().hash != hash) {
            report.files.push_back(
                {hash, files.integer(1), static_cast<int>(files.integer(2)), 0, {}});
        }
        FileGroup& g = report.files.back();
        const std::string path = files.text(3);
        if (g.copies.empty() || g.copies.back().path != path)
            ++g.images;
        g.copies.push_back({path, static_cast<int>(files.integer(4)), files.text(5)});
    }
    return report;
}

}  // namespace qv
