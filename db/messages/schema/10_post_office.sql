-- Messages.mdb: the post office through which users exchange messages and queue outbound
-- mail.
-- Columns are bound by ordinal (the number after "--", counted from 0): never reorder or
-- insert columns, add new ones at the end. A column that holds a key of another table or a
-- code of a code table carries that key's name.

-- A row is one message delivered to one local user; MSGNO numbers itself.
CREATE TABLE [INBOX] (
    [MSGNO] COUNTER NOT NULL,       -- 0
    [RECEIVED] DATETIME,            -- 1 sender's clock
    [TONAME] TEXT(50),              -- 2
    [TOADDRESS] TEXT(100),          -- 3 "Local" for local delivery
    [USERID] TEXT(20),              -- 4 recipient's user id: whose inbox
    [FROMNAME] TEXT(50),            -- 5
    [COMPANY] TEXT(60),             -- 6 customer the message is about
    [FROMADDRESS] TEXT(100),        -- 7 sender's user id for local delivery
    [SENTVIA] TEXT(20),             -- 8
    [SUBJECT] TEXT(255),            -- 9
    [MESSAGETEXT] MEMO,             -- 10 rich text
    [HASATTACHMENTS] BIT,           -- 11
    [STATUS] TEXT(20),              -- 12 "Unread" or "Read"
    CONSTRAINT PrimaryKey PRIMARY KEY ([MSGNO])
);
CREATE INDEX [USERID] ON [INBOX] ([USERID]);
CREATE INDEX [RECEIVED] ON [INBOX] ([RECEIVED]);

-- A row is one file attached to an inbox message; the file's copy lies in the post office's
-- Temp folder.
CREATE TABLE [INBOX ATTACHMENTS] (
    [MSGNO] LONG NOT NULL,          -- 0
    [ATTACHNO] SHORT NOT NULL,      -- 1 1, 2, 3 ... in the order given; may have gaps
    [FILENAME] TEXT(255),           -- 2 bare file name in the Temp folder
    CONSTRAINT PrimaryKey PRIMARY KEY ([MSGNO], [ATTACHNO])
);

-- A row is one outbound e-mail, Internet mail or fax queued for the site's mail agent;
-- MSGNO numbers itself.
CREATE TABLE [OUTBOX] (
    [MSGNO] COUNTER NOT NULL,       -- 0
    [SENT] DATETIME,                -- 1 when it was queued
    [OUTREF] TEXT(50),              -- 2
    [PRIORITY] SHORT,               -- 3 0 normal, 1 high
    [USERID] TEXT(20),              -- 4 sender's user id
    [FROMNAME] TEXT(50),            -- 5
    [TOCONTACT] TEXT(50),           -- 6
    [COMPANY] TEXT(60),             -- 7
    [TOADDRESS] TEXT(100),          -- 8 e-mail address, Internet address or fax number
    [SENDVIA] TEXT(20),             -- 9 "Email", "Internet" or "Fax"
    [SUBJECT] TEXT(255),            -- 10
    [MESSAGETEXT] MEMO,             -- 11 rich text
    [HASATTACHMENTS] BIT,           -- 12
    [STATUS] TEXT(20),              -- 13 "Queued" when written
    CONSTRAINT PrimaryKey PRIMARY KEY ([MSGNO])
);
CREATE INDEX [USERID] ON [OUTBOX] ([USERID]);
CREATE INDEX [SENT] ON [OUTBOX] ([SENT]);

-- A row is one file attached to an outbox message; the file's copy lies in the post
-- office's Temp folder.
CREATE TABLE [OUTBOX ATTACHMENTS] (
    [MSGNO] LONG NOT NULL,          -- 0
    [ATTACHNO] SHORT NOT NULL,      -- 1
    [FILENAME] TEXT(255),           -- 2 bare file name in the Temp folder
    CONSTRAINT PrimaryKey PRIMARY KEY ([MSGNO], [ATTACHNO])
);
