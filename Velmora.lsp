;;; Velmora.lsp - the listing script of Velmora.
;;;
;;; Defines the command makeBlockItems. It reads the folder from USERS1 and
;;; the block name from USERS2, writes one line per entity of that block
;;; definition to listBlockItems.txt in the folder - the items of the
;;; entity's data list the tool reads, text values without quotation marks,
;;; reals at full precision - closes the file, and only then sets USERI1 to
;;; 1, which the tool waits for. Other items, the texts of TEXT and ATTDEF
;;; above all, are left out: written raw they could pose as items.

(setq velmora-read-codes '(0 8 10 11 40 42 50 51 62 70 90))

(defun velmora-atom (value)
  (cond ((= (type value) 'REAL) (rtos value 2 16))
        ((= (type value) 'INT) (itoa value))
        ((= (type value) 'STR) value)
        (T (vl-princ-to-string value))))

(defun velmora-item (item / code value text)
  (setq code (car item)
        value (cdr item))
  (if (and value (listp value))
    ;; a point or another list of values: (10 x y z)
    (progn
      (setq text (strcat "(" (itoa code)))
      (foreach part value (setq text (strcat text " " (velmora-atom part))))
      (strcat text ")"))
    ;; a dotted pair: (8 . layer)
    (strcat "(" (itoa code) " . " (velmora-atom value) ")")))

(defun velmora-line (data / text)
  (setq text "")
  (foreach item data
    (if (member (car item) velmora-read-codes)
      (setq text (if (= text "") (velmora-item item) (strcat text " " (velmora-item item))))))
  (strcat "(" text ")"))

(defun c:makeBlockItems (/ folder name file entity data)
  (setq folder (getvar "USERS1")
        name (getvar "USERS2")
        file (open (strcat folder "listBlockItems.txt") "w"))
  (if file
    (progn
      (setq entity (tblobjname "BLOCK" name))
      (if entity (setq entity (entnext entity)))
      (while (and entity
                  (setq data (entget entity))
                  (/= (cdr (assoc 0 data)) "ENDBLK"))
        (write-line (velmora-line data) file)
        (setq entity (entnext entity)))
      (close file)
      (setvar "USERI1" 1)))
  (princ))

(princ)
