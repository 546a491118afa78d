// Stands in for an area that has no files of this kind yet.
