-- Definitions.mdb: window titles, control captions and tool tips.
-- Columns are read by ordinal; the order is binding.

-- A row is one captioned thing of a window: the window's short name and the control's
-- tag ("Caption" is the window title), the caption, the tool tip and whether the control
-- is hidden.
CREATE TABLE [FORM CAPTIONS] (
    [FORMNAME] TEXT(50) NOT NULL,    -- 0
    [CONTROLTAG] TEXT(50) NOT NULL,  -- 1
    [CAPTION] TEXT(255),             -- 2
    [TOOLTIP] TEXT(255),             -- 3
    [HIDDEN] BIT,                    -- 4
    CONSTRAINT PrimaryKey PRIMARY KEY ([FORMNAME], [CONTROLTAG])
);
