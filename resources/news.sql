-- news.mdb: the news items of one run of the program. Columns stay in this order: rows are
-- read back by column position.
PRAGMA journal_mode = WAL;

CREATE TABLE FeedItem (
  FeedLink TEXT,
  title TEXT,
  link TEXT,
  description TEXT,
  pubdate TEXT,
  author TEXT,
  category TEXT,
  subject TEXT,
  readstatus INTEGER,
  class TEXT
);

-- An item saved again by a later refresh is refused, so each item is shown once per run. An
-- item is known by its link; one without a link by its title within its channel, so every
-- link-less item is kept once instead of only the first of the run.
CREATE UNIQUE INDEX FeedItemLink ON FeedItem (link) WHERE link <> '';
CREATE UNIQUE INDEX FeedItemNoLink ON FeedItem (class, title) WHERE link = '';

CREATE TABLE FeedSource (
  FeedLink TEXT,
  description TEXT,
  title TEXT,
  version TEXT,
  copyright TEXT,
  generator TEXT,
  feedlanguage TEXT,
  lastbuilddate TEXT,
  ttl INTEGER,
  webmaster TEXT,
  imagedescription TEXT,
  imageheight TEXT,
  imagewidth TEXT,
  imagelink TEXT,
  imagetitle TEXT,
  imageurl TEXT
);

CREATE TABLE SubjectNews (
  Link TEXT,
  title TEXT,
  description TEXT,
  subject TEXT
);
