// The help pages (Ayuda > Contenido) as the build installs them beside the program: every link
// between them reaches an existing page and anchor, every page hangs from the contents page and
// leads back to it, and the installed copy is the current one.

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "support/testsupport.h"

namespace kesh {
namespace {

namespace fs = std::filesystem;

std::string ReadAll(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

void WriteAll(const fs::path& p, const std::string& text) {
    fs::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary | std::ios::trunc) << text;
}

// Markup with its comments blanked out: a link in a comment leads nowhere.
std::string WithoutComments(std::string html) {
    for (size_t at = html.find("<!--"); at != std::string::npos; at = html.find("<!--", at)) {
        const size_t end = html.find("-->", at);
        html.erase(at, end == std::string::npos ? std::string::npos : end + 3 - at);
    }
    return html;
}

// Values of the attributes named by `names` ("href|src"), in either kind of quotes. The name
// must start the attribute, so "data-id" is not "id".
std::vector<std::string> AttributeValues(const std::string& html, const std::string& names) {
    const std::regex rx("\\s(?:" + names + ")\\s*=\\s*(?:\"([^\"]*)\"|'([^']*)')",
                        std::regex::icase);
    std::vector<std::string> out;
    for (auto it = std::sregex_iterator(html.begin(), html.end(), rx); it != std::sregex_iterator();
         ++it)
        out.push_back((*it)[1].matched ? (*it)[1].str() : (*it)[2].str());
    return out;
}

std::string Unescaped(std::string s) {
    for (size_t at = s.find("&amp;"); at != std::string::npos; at = s.find("&amp;", at + 1))
        s.replace(at, 5, "&");
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '%' && i + 2 < s.size() && std::isxdigit(static_cast<unsigned char>(s[i + 1])) &&
            std::isxdigit(static_cast<unsigned char>(s[i + 2]))) {
            out += static_cast<char>(std::stoi(s.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            out += s[i];
        }
    }
    return out;
}

// "http:", "mailto:", "//host": not a file of the help folder.
bool IsExternal(const std::string& link) {
    static const std::regex scheme("^[A-Za-z][A-Za-z0-9+.-]*:");
    return std::regex_search(link, scheme) || link.rfind("//", 0) == 0;
}

struct Page {
    std::vector<std::string> links;  // relative href and src values, unescaped
    std::set<std::string> anchors;   // id and name values
};

std::map<fs::path, Page> ReadPages(const fs::path& dir) {
    std::map<fs::path, Page> pages;
    for (const auto& e : fs::recursive_directory_iterator(dir)) {
        if (!e.is_regular_file() || e.path().extension() != ".html") continue;
        const std::string html = WithoutComments(ReadAll(e.path()));
        Page p;
        for (const std::string& v : AttributeValues(html, "href|src"))
            if (!IsExternal(v)) p.links.push_back(Unescaped(v));
        for (const std::string& v : AttributeValues(html, "id|name")) p.anchors.insert(Unescaped(v));
        pages[fs::relative(e.path(), dir).lexically_normal()] = std::move(p);
    }
    return pages;
}

// Where a relative link of `page` points, relative to the help folder; empty for itself.
fs::path Target(const fs::path& page, const std::string& fileAndQuery) {
    const std::string file = fileAndQuery.substr(0, fileAndQuery.find('?'));
    if (file.empty()) return page;
    return (page.parent_path() / file).lexically_normal();
}

// Every relative link of the folder's pages that does not resolve, as "page: link (why)".
std::vector<std::string> BrokenLinks(const fs::path& dir) {
    const std::map<fs::path, Page> pages = ReadPages(dir);
    std::vector<std::string> broken;
    for (const auto& [name, page] : pages) {
        for (const std::string& link : page.links) {
            const size_t hash = link.find('#');
            const fs::path target = Target(name, link.substr(0, hash));
            const std::string anchor = hash == std::string::npos ? "" : link.substr(hash + 1);
            std::string why;
            if (target.empty() || *target.begin() == "..")
                why = "fuera de la carpeta de ayuda";
            else if (!fs::is_regular_file(dir / target))
                why = "no existe el archivo";
            else if (!anchor.empty() &&
                     (!pages.count(target) || !pages.at(target).anchors.count(anchor)))
                why = "no existe el ancla";
            if (!why.empty()) broken.push_back(name.string() + ": " + link + " (" + why + ")");
        }
    }
    return broken;
}

// Pages other than index.html that index.html does not link to, or that do not link back.
std::vector<std::string> PagesOffTheContents(const fs::path& dir) {
    const std::map<fs::path, Page> pages = ReadPages(dir);
    const fs::path index = "index.html";
    std::set<fs::path> fromIndex;
    if (pages.count(index))
        for (const std::string& link : pages.at(index).links)
            fromIndex.insert(Target(index, link.substr(0, link.find('#'))));
    std::vector<std::string> off;
    for (const auto& [name, page] : pages) {
        if (name == index) continue;
        if (!fromIndex.count(name)) off.push_back(name.string() + ": falta en index.html");
        const bool back = std::any_of(page.links.begin(), page.links.end(), [&](const std::string& l) {
            return Target(name, l.substr(0, l.find('#'))) == index;
        });
        if (!back) off.push_back(name.string() + ": no vuelve a index.html");
    }
    return off;
}

std::string Joined(const std::vector<std::string>& lines) {
    std::string s;
    for (const std::string& l : lines) s += "\n  " + l;
    return s;
}

// ---- the checker on small folders ----------------------------------------------------------

TEST(HelpLinks, CheckerReportsEachKindOfBrokenLinkAndNothingElse) {
    // Every case adds one page, "p.html", beside these two.
    const std::string other =
        "<html><body><h2 id=\"a\">A</h2><a name=\"n\"></a><div data-id=\"d\"></div>"
        "<a href=\"index.html\">volver</a></body></html>";
    struct Case {
        const char* what;
        const char* body;
        std::vector<std::string> broken;
    };
    const Case cases[] = {
        {"page, id and name anchors",
         "<a href=\"other.html\">x</a> <a href='other.html#a'>y</a> <a HREF = \"other.html#n\">z</a>",
         {}},
        {"anchor of the same page and the top of the page",
         "<h2 id=\"s\">S</h2><a href=\"#s\">s</a> <a href=\"#\">arriba</a>", {}},
        {"external addresses and commented links are not followed",
         "<a href=\"https://example.org/x.html\">w</a> <a href=\"mailto:a@b.c\">m</a>"
         "<!-- <a href=\"viejo.html\">v</a> -->",
         {}},
        {"escaped link to a subfolder page", "<a href=\"sub/p%C3%A1gina.html?x=1&amp;y=2\">s</a>",
         {}},
        {"missing page", "<a href=\"falta.html\">f</a>", {"p.html: falta.html (no existe el archivo)"}},
        {"missing anchor on another page", "<a href=\"other.html#b\">b</a>",
         {"p.html: other.html#b (no existe el ancla)"}},
        {"missing anchor on the same page", "<a href=\"#nada\">n</a>",
         {"p.html: #nada (no existe el ancla)"}},
        {"an attribute that only ends in id is no anchor", "<a href=\"other.html#d\">d</a>",
         {"p.html: other.html#d (no existe el ancla)"}},
        {"missing style sheet", "<link rel=\"stylesheet\" href=\"estilo.css\">",
         {"p.html: estilo.css (no existe el archivo)"}},
        {"link out of the help folder", "<a href=\"../other.html\">o</a>",
         {"p.html: ../other.html (fuera de la carpeta de ayuda)"}},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const fs::path dir = test::ScratchDir("help_case_" + std::to_string(n++));
        WriteAll(dir / "index.html", "<a href=\"other.html\">o</a><a href=\"p.html\">p</a>");
        WriteAll(dir / "other.html", other);
        WriteAll(dir / "sub" / "página.html", "<p id=\"q\">q</p>");
        // A file beside the folder exists on disk, but an installed copy would not carry it.
        WriteAll(dir.parent_path() / "other.html", other);
        WriteAll(dir / "p.html", std::string("<html><body>") + c.body + "</body></html>");
        EXPECT_EQ(BrokenLinks(dir), c.broken);
    }
}

TEST(HelpLinks, CheckerFindsPagesLeftOutOfTheContents) {
    const fs::path dir = test::ScratchDir("help_contents");
    WriteAll(dir / "index.html", "<a href=\"a.html#x\">a</a>");
    WriteAll(dir / "a.html", "<p id=\"x\"></p><a href=\"index.html#arriba\">Contenido</a>");
    WriteAll(dir / "b.html", "<a href=\"index.html\">Contenido</a>");
    WriteAll(dir / "c.html", "<a href=\"a.html\">a</a>");
    WriteAll(dir / "kesh.css", "body {}");
    EXPECT_EQ(PagesOffTheContents(dir),
              (std::vector<std::string>{"b.html: falta en index.html", "c.html: falta en index.html",
                                        "c.html: no vuelve a index.html"}));
}

// ---- the installed help ------------------------------------------------------------------------

fs::path InstalledHelp() { return test::AppDir() / "help"; }
fs::path SourceHelp() { return fs::path(KESH_TEST_SOURCE_DIR) / "help"; }

// A build without the screens has no program to open the help, so it installs none.
bool HelpIsInstalled() {
    return fs::is_directory(InstalledHelp()) || fs::exists(test::AppDir() / "kesh2");
}

TEST(HelpLinks, InstalledHelpIsTheCurrentOne) {
    if (!HelpIsInstalled()) GTEST_SKIP() << "compilación sin kesh2: la ayuda no se instala";
    std::set<fs::path> source, installed;
    for (const auto& e : fs::recursive_directory_iterator(SourceHelp()))
        if (e.is_regular_file()) source.insert(fs::relative(e.path(), SourceHelp()));
    ASSERT_TRUE(fs::is_directory(InstalledHelp())) << InstalledHelp();
    for (const auto& e : fs::recursive_directory_iterator(InstalledHelp()))
        if (e.is_regular_file()) installed.insert(fs::relative(e.path(), InstalledHelp()));
    ASSERT_EQ(installed, source) << "reconstruya (cmake --build build): la ayuda instalada no es "
                                    "la de help/";
    for (const fs::path& f : source)
        EXPECT_TRUE(ReadAll(SourceHelp() / f) == ReadAll(InstalledHelp() / f))
            << f << " instalado no es el de help/: reconstruya";
}

TEST(HelpLinks, InstalledLinksAndAnchorsResolve) {
    if (!HelpIsInstalled()) GTEST_SKIP() << "compilación sin kesh2: la ayuda no se instala";
    ASSERT_TRUE(fs::is_regular_file(InstalledHelp() / "index.html")) << InstalledHelp();
    const std::vector<std::string> broken = BrokenLinks(InstalledHelp());
    EXPECT_TRUE(broken.empty()) << "enlaces rotos:" << Joined(broken);
    const std::vector<std::string> off = PagesOffTheContents(InstalledHelp());
    EXPECT_TRUE(off.empty()) << "páginas fuera del índice:" << Joined(off);
}

} // namespace
} // namespace kesh
