/* Exported scene files include this header first, as projects with
 * precompiled headers expect. Nothing else needs it, so it stays empty. */
