#include "server/pages.h"

namespace velmora::server {

namespace {

constexpr std::string_view kBlue = "#3B5998";  // RGB 59, 89, 152
constexpr std::string_view kPale = "#E6E3C4";  // RGB 230, 227, 196

std::string pageStart(std::string_view title) {
    std::string page = "<!DOCTYPE html>\n<html>\n<head>\n<meta charset=\"utf-8\">\n<title>";
    page.append(title).append("</title>\n</head>\n<body bgcolor=\"").append(kBlue);
    page.append("\" text=\"").append(kPale).append("\" link=\"").append(kPale);
    page.append("\" vlink=\"").append(kPale).append("\">\n");
    return page;
}

void appendCell(std::string& page, std::string_view text, std::string_view align) {
    page.append("<td align=\"").append(align).append("\"><font color=\"").append(kBlue).append("\">");
    page.append(htmlEscape(text)).append("</font></td>");
}

}  // namespace

std::string htmlEscape(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        case '\'': out += "&#39;"; break;
        default: out += c;
        }
    }
    return out;
}

std::string scoreListPage(const std::vector<ScoreEntry>& entries) {
    std::string page = pageStart("Velmora - High Scores");
    page += "<h2 align=\"center\">Velmora High Scores</h2>\n";
    if (entries.empty()) {
        page += "<p align=\"center\">No scores yet. Be the first!</p>\n";
    } else {
        page.append("<table align=\"center\" border=\"0\" cellspacing=\"1\" cellpadding=\"4\" bgcolor=\"")
            .append(kBlue).append("\">\n<tr>");
        for (std::string_view heading : {"Rank", "Name", "Score", "Date"}) {
            page.append("<th><font color=\"").append(kPale).append("\">").append(heading).append("</font></th>");
        }
        page += "</tr>\n";
        size_t rank = 0;
        for (const ScoreEntry& entry : entries) {
            page.append("<tr bgcolor=\"").append(kPale).append("\">");
            appendCell(page, std::to_string(++rank), "right");
            appendCell(page, entry.name, "left");
            appendCell(page, std::to_string(entry.score), "right");
            appendCell(page, entry.date, "left");
            page += "</tr>\n";
        }
        page += "</table>\n";
    }
    page += "<p align=\"center\"><small>Nivolt Software</small></p>\n</body>\n</html>\n";
    return page;
}

std::string homePage(std::string_view versionText, bool hasInstaller) {
    std::string page = pageStart("Nivolt Software");
    page += "<h1>Nivolt Software</h1>\n<h2>Velmora</h2>\n";
    page += "<p>A falling-block puzzle game. Current version: " + htmlEscape(versionText) + "</p>\n<ul>\n";
    page += "<li><a href=\"/counter/velmora.shtml\">The online high score list</a></li>\n";
    if (hasInstaller) {
        page += "<li><a href=\"/velmora/velmorasetup.exe\">Download the installer</a></li>\n";
    }
    page += "</ul>\n</body>\n</html>\n";
    return page;
}

}  // namespace velmora::server
