#include "launch/book_cover.h"

#include "base/errors.h"
#include "content/book_cursor.h"
#include "content/page_rules.h"
#include "content/picture_archive.h"
#include "platform/pictures/picture_loader.h"

namespace tavelio {

QImage ReadBookCover(const PageTable& pages, const std::string& archivePath) {
    const QVDBType& opening = pages.At(PageTable::kFirstSlot);
    if (RoleOfPage(opening.PageNo, kOpeningStoryPage) != PageRole::Cover || !HasPicture(opening)) {
        return {};
    }
    // A cover that can't be shown is no failure of the launch pad, which has a picture of its own
    // for the box: the stored one stands in. The viewer reports the broken picture when the book
    // is opened and the cover page loads it; an error box here would stand before a child who
    // has not chosen anything yet. Only the archive's and the loader's errors are such a picture;
    // anything else goes on to the dispatcher.
    try {
        return LoadPicture(opening.PicType,
                           ReadPictureOut(archivePath, opening.PicOffset, opening.PicSize));
    } catch (const EInOutError&) {
        return {};
    } catch (const EInvalidGraphic&) {
        return {};
    }
}

} // namespace tavelio
