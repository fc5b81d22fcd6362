// The service's base addresses, without a trailing slash. The build settings give them; the
// tests point them at a local server before anything uses them.
#pragma once

#include <string>

struct TServiceSites {
    std::string MakerSite;   // the maker's site: version page, client download, contact pages
    std::string ProductSite; // the product's own site
    std::string PageServer;  // the question-bank pages shown in the browser panes
};

TServiceSites& ServiceSites();
