// Joining the movie parts of a render split by frame ranges into the one
// movie a whole render would have written: MPEG-1 parts (intra-coded
// pictures only, in program streams or, as renders wrote them before, bare
// video streams) by copying their coded pictures into one program stream
// with the times of the whole movie, MP4 parts by copying their coded
// pictures into one MP4 file with the times moved on (mp4_join.h),
// animated GIF parts by copying their pictures, colour maps, delays and
// loop count into one file. Pictures
// that carry check values (as a render's do) are checked, so a damaged
// part is refused. The parts are read as given and never changed.
#pragma once

#include <string>
#include <vector>

namespace modra {

// Joins `parts`, in order, into `out`, written through a temporary file so
// that a refused or failed join leaves whatever was at `out`. Returns an
// empty string, or why the parts were refused, naming the file: a part
// that cannot be read (with the system's reason), that is not a regular
// file (a FIFO, a device or a folder, refused before anything is read),
// or is neither an MPEG-1 or MP4 movie nor a GIF, a part that is not
// proven whole (truncated, damaged, a picture that does not decode or
// match its check value, GIF pictures out of order: mpeg_join.h,
// mp4_join.h, gif_join.h), parts of different formats, codecs, picture
// sizes, rates or loop counts, a gap or an overlap in the frame numbers the
// parts carry (which start at 0 in the first part: MPEG group time codes,
// the first-frame tag of MP4 movies, the numbers of a render's GIF
// pictures), an output
// name whose extension names the other format, or an output that cannot
// be written.
std::string JoinMovies(const std::string& out, const std::vector<std::string>& parts);

// Whether `part`, holding frames first .. last, follows `previous` (empty
// for the first part), whose frames end before `expected` (0 for the first
// part): empty, or the message for the gap or the overlap.
std::string FrameRunProblem(const std::string& previous, const std::string& part, int expected,
                            int first, int last);

}  // namespace modra
