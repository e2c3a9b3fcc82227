/* The language of the framework's string table, for its resource script and its code.
 *
 * Linked whole into a saver, the framework's resources share one resource directory with the
 * saver's own. A string table is stored in blocks of sixteen ids, and the linker cannot merge two
 * blocks that define the same id in the same language: a saver's own caption (string 3501) would
 * clash with the framework's. So the framework's strings carry a language no saver and no user
 * has, a user-defined one, while a saver's carry its own (US English unless its script says
 * otherwise). A lookup that names no language, LoadStringA in the saver's module, searches the
 * user's, neutral and English languages before taking any: a saver's string wins, and the
 * framework's is found only where the saver has none. The framework reads its own strings in this
 * language by name (LoadFrameworkString), so a saver's block never hides them.
 */
#ifndef MORVANE_RESOURCE_LANGUAGE_H
#define MORVANE_RESOURCE_LANGUAGE_H

/* The highest user-defined primary language and sublanguage. As the last language of every block
   it is also the one a language-less lookup takes last when none of its preferred ones is there. */
#define MORVANE_STRINGS_LANGUAGE    0x3FF
#define MORVANE_STRINGS_SUBLANGUAGE 0x3F

#endif
