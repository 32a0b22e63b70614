#include "po/po_file.h"

#include "fileio/file_writer.h"

#include <gettext-po.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <iconv.h>
#include <memory>
#include <string_view>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace wright::po {
namespace {

// libgettextpo reports through a handler of plain C functions; they collect
// the problems of one call here.
thread_local std::vector<std::string>* gProblems = nullptr;

std::string place(const char* file, size_t line) {
    if (!file) return {};
    std::string where = file;
    if (line != static_cast<size_t>(-1)) where += ":" + std::to_string(line);
    return where + ": ";
}

void collect(int severity, po_message_t, const char* file, size_t line, size_t, int, const char* text) {
    if (severity == PO_SEVERITY_WARNING || !gProblems) return;
    std::string problem = place(file, line) + (text ? text : "");
    while (!problem.empty() && problem.back() == '\n') problem.pop_back();
    gProblems->push_back(problem);
    // A fatal error must not return into the library.
    if (severity == PO_SEVERITY_FATAL_ERROR) throw PoError(problem);
}

void collect2(int severity, po_message_t m1, const char* f1, size_t l1, size_t c1, int ml1, const char* t1,
              po_message_t, const char*, size_t, size_t, int, const char* t2) {
    const std::string text = std::string(t1 ? t1 : "") + " " + (t2 ? t2 : "");
    collect(severity, m1, f1, l1, c1, ml1, text.c_str());
}

constexpr po_xerror_handler kHandler{collect, collect2};

class Problems {
public:
    Problems() { gProblems = &list_; }
    ~Problems() { gProblems = nullptr; }
    void throwIfAny(const std::string& what) const {
        if (list_.empty()) return;
        std::string message = what;
        for (const std::string& p : list_) message += "\n  " + p;
        throw PoError(message);
    }

private:
    std::vector<std::string> list_;
};

// po_file_free leaves each message's context string behind; setting it to
// none through the library frees it first.
void releaseContexts(po_file_t file) {
    const char* const* domains = po_file_domains(file);
    for (; domains && *domains; ++domains) {
        po_message_iterator_t it = po_message_iterator(file, *domains);
        while (po_message_t m = po_next_message(it))
            if (po_message_msgctxt(m)) po_message_set_msgctxt(m, nullptr);
        po_message_iterator_free(it);
    }
}

struct FileFree {
    void operator()(po_file_t f) const {
        releaseContexts(f);
        po_file_free(f);
    }
};
using FilePtr = std::unique_ptr<std::remove_pointer_t<po_file_t>, FileFree>;

struct IteratorFree {
    void operator()(po_message_iterator_t it) const { po_message_iterator_free(it); }
};
using IteratorPtr = std::unique_ptr<std::remove_pointer_t<po_message_iterator_t>, IteratorFree>;

std::string text(const char* s) {
    return s ? s : "";
}

// The library joins the "#." lines into a string of its own allocation that
// it never frees; an empty result is its constant "".
std::string extractedComments(po_message_t m) {
    const char* joined = po_message_extracted_comments(m);
    if (!joined || !*joined) return {};
    std::string comments = joined;
    std::free(const_cast<char*>(joined));
    return comments;
}

// The charset a catalogue's header declares; empty when there is none, or
// when it is a template's placeholder "CHARSET".
std::string declaredCharset(po_file_t file) {
    // libgettextpo gives the header as a copy of its own, which the caller frees.
    const std::unique_ptr<char, decltype(&std::free)> header(const_cast<char*>(po_file_domain_header(file, nullptr)),
                                                             &std::free);
    if (!header) return {};
    char* field = po_header_field(header.get(), "Content-Type");
    if (!field) return {};
    const std::string contentType = field;
    std::free(field);
    const std::size_t at = contentType.find("charset=");
    if (at == std::string::npos) return {};
    std::string charset = contentType.substr(at + 8);
    charset.erase(std::find_if(charset.begin(), charset.end(), [](char c) { return c == ' ' || c == ';'; }),
                  charset.end());
    return charset == "CHARSET" ? std::string() : charset;
}

bool isUtf8Name(std::string name) {
    std::transform(name.begin(), name.end(), name.begin(),
                   [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; });
    name.erase(std::remove(name.begin(), name.end(), '-'), name.end());
    return name == "UTF8";
}

// Text of a catalogue in another charset, converted to UTF-8 by the
// system's iconv, as msgcat and msgmerge convert it.
class ToUtf8 {
public:
    ToUtf8(const std::string& path, const std::string& charset)
        : path_(path), charset_(charset), cd_(::iconv_open("UTF-8", charset.c_str())) {
        if (cd_ == reinterpret_cast<iconv_t>(-1))
            throw PoError(path + ": the header declares the charset \"" + charset +
                          "\", which this system cannot convert to UTF-8");
    }
    ~ToUtf8() { ::iconv_close(cd_); }
    ToUtf8(const ToUtf8&) = delete;
    ToUtf8& operator=(const ToUtf8&) = delete;

    // The text in UTF-8; `entry` names it when it is not valid in the charset.
    std::string operator()(const std::string& text, const std::string& entry) const {
        ::iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        std::string out(text.size() * 4 + 4, '\0');
        char* in = const_cast<char*>(text.data());
        std::size_t inLeft = text.size();
        char* to = out.data();
        std::size_t outLeft = out.size();
        if (::iconv(cd_, &in, &inLeft, &to, &outLeft) == static_cast<std::size_t>(-1) ||
            ::iconv(cd_, nullptr, nullptr, &to, &outLeft) == static_cast<std::size_t>(-1))
            throw PoError(path_ + ": " + entry + " is not valid " + charset_ +
                          " text, the charset its header declares");
        out.resize(out.size() - outLeft);
        return out;
    }

private:
    std::string path_, charset_;
    iconv_t cd_;
};

}  // namespace

std::vector<Entry> readCatalogue(const std::string& path) {
    // The library reports a file it cannot open by returning nothing; ask
    // the system first so the reason can be given.
    if (std::FILE* probe = std::fopen(path.c_str(), "rb")) {
        std::fclose(probe);
    } else {
        throw PoError(path + ": cannot open: " + std::strerror(errno));
    }
    Problems problems;
    FilePtr file(po_file_read(path.c_str(), &kHandler));
    problems.throwIfAny(path + ": not a valid PO file:");
    if (!file) throw PoError(path + ": not a valid PO file");

    std::vector<Entry> entries;
    IteratorPtr it(po_message_iterator(file.get(), nullptr));
    while (po_message_t m = po_next_message(it.get())) {
        const std::string id = text(po_message_msgid(m));
        if (id.empty() && !po_message_msgctxt(m)) continue;  // the header
        Entry e;
        e.context = text(po_message_msgctxt(m));
        e.source = id;
        e.translation = text(po_message_msgstr(m));
        e.extractedComment = extractedComments(m);
        e.fuzzy = po_message_is_fuzzy(m) != 0;
        e.obsolete = po_message_is_obsolete(m) != 0;
        entries.push_back(std::move(e));
    }
    const std::string charset = declaredCharset(file.get());
    if (!charset.empty() && !isUtf8Name(charset)) {
        const ToUtf8 convert(path, charset);
        for (std::size_t i = 0; i < entries.size(); ++i) {
            Entry& e = entries[i];
            // The context first, so that it can name the entry in UTF-8.
            e.context = convert(e.context, "entry " + std::to_string(i + 1) + " after the header");
            for (std::string* text : {&e.source, &e.translation, &e.extractedComment})
                *text = convert(*text, "the entry \"" + e.context + "\"");
        }
    }
    return entries;
}

namespace {

// Now, as gettext's tools write it: "2026-03-14 09:26+0100".
std::string creationDate() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    char text[64];
    if (!::localtime_r(&now, &local) || std::strftime(text, sizeof text, "%Y-%m-%d %H:%M%z", &local) == 0)
        throw PoError("cannot make the template: the system gives no time of day");
    return text;
}

FilePtr buildCatalogue(const std::string& projectId, const std::vector<Entry>& entries, bool isTemplate) {
    FilePtr file(po_file_create());
    IteratorPtr it(po_message_iterator(file.get(), nullptr));

    po_message_t header = po_message_create();
    po_message_set_msgid(header, "");
    // The placeholders a template carries, so msginit and the translation
    // tools fill in the translator's fields; the header stays fuzzy until then.
    const std::string headerText = "Project-Id-Version: " + projectId + "\n" +
                                   "POT-Creation-Date: " + creationDate() +
                                   "\n"
                                   "PO-Revision-Date: YEAR-MO-DA HO:MI+ZONE\n"
                                   "Last-Translator: FULL NAME <EMAIL@ADDRESS>\n"
                                   "Language-Team: LANGUAGE <LL@li.org>\n"
                                   "Language: \n"
                                   "MIME-Version: 1.0\n"
                                   "Content-Type: text/plain; charset=UTF-8\n"
                                   "Content-Transfer-Encoding: 8bit\n";
    po_message_set_msgstr(header, headerText.c_str());
    po_message_set_fuzzy(header, isTemplate ? 1 : 0);
    po_message_insert(it.get(), header);

    for (const Entry& e : entries) {
        po_message_t m = po_message_create();
        if (!e.context.empty()) po_message_set_msgctxt(m, e.context.c_str());
        po_message_set_msgid(m, e.source.c_str());
        po_message_set_msgstr(m, isTemplate ? "" : e.translation.c_str());
        if (!isTemplate && e.fuzzy) po_message_set_fuzzy(m, 1);
        if (!e.extractedComment.empty()) po_message_set_extracted_comments(m, e.extractedComment.c_str());
        if (e.reference) po_message_add_filepos(m, e.reference->file.c_str(), e.reference->line);
        po_message_insert(it.get(), m);
    }
    it.reset();
    return file;
}

// Closes every descriptor of this process, other than `ours`, that writes
// into the same pipe as `ours` (the reading end has the same inode).
void closeOtherEnds(int ours) {
    struct stat end {};
    if (::fstat(ours, &end) != 0) return;
    std::vector<int> others;
    if (DIR* fds = ::opendir("/proc/self/fd")) {
        while (const dirent* entry = ::readdir(fds)) {
            const int fd = std::atoi(entry->d_name);
            struct stat other {};
            if (fd > 2 && fd != ours && fd != ::dirfd(fds) && ::fstat(fd, &other) == 0 && other.st_dev == end.st_dev &&
                other.st_ino == end.st_ino && (::fcntl(fd, F_GETFL) & O_ACCMODE) == O_WRONLY)
                others.push_back(fd);
        }
        ::closedir(fds);
    }
    for (const int fd : others) ::close(fd);
}

// The catalogue's bytes. libgettextpo writes only to a file it opens by
// name, and it does not report a failing write: a full disk would leave a
// short catalogue that it calls written. So it writes into a pipe, which a
// thread of ours drains into memory (a pipe knows no disk space and no file
// size limit), and the disk is written by the file writer alone, whose every
// step is checked.
std::string render(po_file_t file, const std::string& what) {
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0) throw PoError("cannot make " + what + ": " + std::strerror(errno));
    std::string bytes;
    int readError = 0;
    std::thread drain([&bytes, &readError, in = ends[0]] {
        char chunk[64 * 1024];
        for (;;) {
            const ssize_t n = ::read(in, chunk, sizeof chunk);
            if (n > 0) {
                bytes.append(chunk, static_cast<std::size_t>(n));
            } else if (n == 0) {
                return;
            } else if (errno != EINTR) {
                readError = errno;
                return;
            }
        }
    });
    const auto finishDrain = [&] {
        ::close(ends[1]);
        drain.join();
        ::close(ends[0]);
    };
    try {
        Problems problems;
        const std::string name = "/proc/self/fd/" + std::to_string(ends[1]);
        const po_file_t written = po_file_write(file, name.c_str(), &kHandler);
        problems.throwIfAny("cannot make " + what + ":");
        if (!written) throw PoError("cannot make " + what);
    } catch (...) {
        // A fatal error leaves the library through our handler, past the
        // close of its own descriptor of the pipe: without closing that too,
        // the thread would wait for the end of the pipe for ever.
        closeOtherEnds(ends[1]);
        finishDrain();
        throw;
    }
    finishDrain();
    if (readError) throw PoError("cannot make " + what + ": " + std::strerror(readError));
    // A catalogue always holds at least its header.
    if (bytes.empty()) throw PoError("cannot make " + what + ": the library wrote nothing");
    return bytes;
}

// libgettextpo writes only the flags it knows (fuzzy, the format flags) and
// has no call to set another. So the flags of the entries are set into the
// rendered catalogue: each entry's keyword lines (msgctxt or msgid, then
// msgstr and their continuations) come after its comments, the header's
// first, so the n-th run of keyword lines is the entry n - 1, and its flags
// join the "#," line just above it or get a line of their own there.
std::string withFlags(const std::string& rendered, const std::vector<Entry>& entries, const std::string& what) {
    std::string out;
    out.reserve(rendered.size() + entries.size() * 32);
    std::size_t block = 0;
    bool inKeywords = false;
    std::size_t lineStart = 0;
    std::size_t previousLine = 0;  // in `out`
    while (lineStart < rendered.size()) {
        std::size_t end = rendered.find('\n', lineStart);
        end = end == std::string::npos ? rendered.size() : end + 1;
        const std::string_view line(rendered.data() + lineStart, end - lineStart);
        const bool keyword = line.starts_with("msgctxt ") || line.starts_with("msgid ");
        if (keyword && !inKeywords) {
            if (block >= 1 && block <= entries.size() && !entries[block - 1].flags.empty()) {
                std::string flags;
                for (const std::string& flag : entries[block - 1].flags) flags += (flags.empty() ? "" : ", ") + flag;
                if (out.compare(previousLine, 3, "#, ") == 0) {
                    out.insert(out.size() - 1, ", " + flags);
                } else {
                    out += "#, " + flags + "\n";
                }
            }
            ++block;
        }
        inKeywords = keyword || (inKeywords && (line.starts_with("\"") || line.starts_with("msg")));
        previousLine = out.size();
        out.append(line);
        lineStart = end;
    }
    if (block != entries.size() + 1)
        throw PoError("cannot make " + what + ": the library wrote " + std::to_string(block) + " entries for " +
                      std::to_string(entries.size() + 1));
    return out;
}

}  // namespace

std::string templateText(const std::string& projectId, const std::vector<Entry>& entries) {
    return withFlags(render(buildCatalogue(projectId, entries, true).get(), "the template"), entries, "the template");
}

std::string catalogueText(const std::string& projectId, const std::vector<Entry>& entries) {
    return withFlags(render(buildCatalogue(projectId, entries, false).get(), "the catalogue"), entries,
                     "the catalogue");
}

void writeTemplate(const std::string& path, const std::string& projectId, const std::vector<Entry>& entries) {
    writeWholeFile(path, templateText(projectId, entries));
}

void writeCatalogue(const std::string& path, const std::string& projectId, const std::vector<Entry>& entries) {
    writeWholeFile(path, catalogueText(projectId, entries));
}

}  // namespace wright::po
