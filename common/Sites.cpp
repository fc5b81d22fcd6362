#include "Sites.h"

TServiceSites& ServiceSites()
{
    static TServiceSites sites{LEXDRILL_MAKER_SITE, LEXDRILL_PRODUCT_SITE, LEXDRILL_PAGE_SERVER};
    return sites;
}
