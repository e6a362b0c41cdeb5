#include "res/artwork/artwork_catalog.h"

const std::vector<Artwork>& ArtworkCatalog()
{
    using namespace art;
    static const std::vector<Artwork> catalog = {
        {310, 64, 768, true, PaintDevicePanel},
        {311, 139, 72, true, PaintTabHighlight},
        {312, 32, 32, true, PaintComputer},
        {314, 48, 48, true, PaintTransfer},
        {327, 64, 512, false, PaintViewBackground},
        {329, 12, 60, true, PaintStatusRightCap},
        {330, 8, 60, false, PaintStatusBackground},
        {331, 12, 60, true, PaintStatusLeftCap},
        {332, 32, 32, true, PaintNext},
        {333, 32, 32, true, PaintPrevious},
        {336, 64, 60, true, PaintBarTrack},
        {337, 64, 60, true, PaintBarFill},
        {338, 24, 24, true, PaintAbort},
        {339, 24, 24, true, PaintAbortHover},
        {341, 48, 48, true, PaintFolderPicture},
        {342, 48, 48, true, PaintVideoPicture},
        {343, 8, 50, false, PaintSelectionFocus},
        {344, 8, 50, false, PaintSelectionNoFocus},
        {346, 480, 300, false, PaintSplash},
        {351, 48, 48, true, PaintAudioPicture},
        {352, 32, 32, true, PaintAudioCd},
        {353, 32, 32, true, PaintVideoDvd},
        {356, 32, 32, true, PaintVideoSearch},
        {365, 24, 24, true, PaintMarkOff},
        {366, 24, 24, true, PaintMarkOn},
        {372, 24, 24, true, PaintUp},
        {374, 24, 24, true, PaintSearch},
        {387, 32, 32, true, PaintSlideShow},
        {388, 24, 24, true, PaintBrowse},
        {389, 32, 32, true, PaintPreview},
        {390, 24, 24, true, PaintStop},
        {399, 32, 32, true, PaintNetbook},
    };
    return catalog;
}
