#pragma once

namespace parvel {

// The program's application id: the name of its .desktop file and of its
// launcher entry.
inline constexpr char desktop_file_id[] = "Lumbrel.Lumbrel.Parvel.NoVersion";

}  // namespace parvel
